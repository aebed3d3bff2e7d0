// The command line of sorvanel-ocr: what to recognise, how, and where the service is.
//
// ParseOptions reads argv with CLI11 and either gives the options or says that the
// program is done (help, version or a usage error, already printed).
// Thread safety: call once, on the main thread, before anything else runs.
// Neutral result: a finished parse with ExitStatus::kUsage for any command line that
// cannot be read.
#ifndef SORVANEL_CLI_OPTIONS_H_
#define SORVANEL_CLI_OPTIONS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/exit_status.h"

namespace sorvanel::cli {

// What is asked of the service for each picture.
enum class Recognition {
  kText,      // general text recognition (the default, no sub-command)
  kIdCard,    // id-card
  kBankCard,  // bank-card
  kPlate,     // plate
  kWebImage,  // web-image
};

struct Options {
  Recognition recognition = Recognition::kText;
  std::vector<std::string> pictures;     // as given: file names, web addresses, "-"
  std::int32_t kind = 1;                 // text: 0 standard, 1 accurate, 2 rare
  bool json = false;                     // text: one JSON object per picture
  bool probability = false;              // text: ask for the confidence values
  bool idCardBack = false;               // id-card: the side with the emblem
  bool detectDirection = false;          // id-card
  bool detectRisk = false;               // id-card
  bool multiPlate = false;               // plate: every plate in the picture
  std::string host;                      // empty: the build's service host
  std::string caFile;                    // empty: the build's extra CA file
  std::optional<double> connectTimeout;  // seconds
  std::optional<double> stallTimeout;    // seconds
  int jobs = 1;
};

// The upper bound of --jobs. Each job holds a picture and its encodings in memory and
// keeps a connection to the service open; more than this gains nothing against one
// service and only risks its rate limits.
inline constexpr int kMaxJobs = 64;

struct ParseResult {
  std::optional<Options> options;         // set when the program should go on
  ExitStatus status = ExitStatus::kText;  // the exit status when it should not
};

// Parses the command line. Help and version go to standard output (status kText); a
// usage error is told on standard error as "sorvanel-ocr: reason" (status kUsage).
ParseResult ParseOptions(int argc, char** argv);

}  // namespace sorvanel::cli

#endif  // SORVANEL_CLI_OPTIONS_H_
