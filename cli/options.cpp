#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <map>

namespace sorvanel::cli {
namespace {

constexpr const char* kDescription =
    "Recognises the text in pictures through the recognition service and writes it to "
    "standard output in UTF-8, one line per recognised line. A PICTURE is a file, an "
    "http:// or https:// address, or - for the picture's bytes on standard input.";

CLI::App* AddRecognition(CLI::App& app, const char* name, const char* description,
                         Options& options) {
  CLI::App* command = app.add_subcommand(name, description);
  command->add_option("PICTURE", options.pictures, "file, web address, or - for standard input")
      ->required();
  // The service options may stand after the sub-command too.
  command->fallthrough();
  return command;
}

// A time limit from a millisecond to a day: the web layer counts in milliseconds, and a
// limit beyond a day is no limit a user means.
const CLI::Validator kSeconds = CLI::Range(0.001, 86400.0).description("");

void AddServiceOptions(CLI::App& app, Options& options) {
  app.add_option("--host", options.host, "service host and port, e.g. ocr.example.test:8443")
      ->type_name("HOST[:PORT]")
      ->group("Service");
  app.add_option("--ca-file", options.caFile,
                 "PEM file of authorities trusted for the service besides the system's")
      ->type_name("FILE")
      ->check(CLI::ExistingFile.description(""))
      ->group("Service");
  app.add_option("--connect-timeout", options.connectTimeout,
                 "longest wait for a connection, in seconds (default 60)")
      ->type_name("SECONDS")
      ->check(kSeconds)
      ->group("Service");
  app.add_option("--stall-timeout", options.stallTimeout,
                 "longest wait without data during an exchange, in seconds (default 60)")
      ->type_name("SECONDS")
      ->check(kSeconds)
      ->group("Service");
  app.add_option("-j,--jobs", options.jobs,
                 "recognise up to N pictures at once (1 to 64, default 1); output keeps the "
                 "order given")
      ->type_name("N")
      ->check(CLI::Range(1, kMaxJobs).description(""))
      ->group("Service");
}

// The rules that CLI11 cannot say: which options belong to which mode.
std::optional<std::string> ModeError(const Options& options, bool picturesBeforeCommand,
                                     bool textOptionsGiven) {
  if (options.recognition == Recognition::kText) {
    if (options.pictures.empty()) return "no picture given";
  } else {
    if (textOptionsGiven) return "--kind, --json and --probability apply to text recognition only";
    if (picturesBeforeCommand) return "pictures must follow the sub-command";
  }
  int standardInputs = 0;
  for (const std::string& picture : options.pictures) standardInputs += picture == "-";
  if (standardInputs > 1) return "standard input (-) can be given only once";
  return std::nullopt;
}

}  // namespace

ParseResult ParseOptions(int argc, char** argv) {
  Options options;
  CLI::App app(kDescription, "sorvanel-ocr");
  // An option given twice takes its last value, as a script that appends options expects.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.set_version_flag("-V,--version", "sorvanel-ocr " SORVANEL_VERSION);
  app.footer(
      "Keys: SORVANEL_API_KEY and SORVANEL_SECRET_KEY in the environment, else the "
      "build's.\nExit status: 0 text, 1 no text, 2 usage, 3 service, 4 unreadable picture.\n"
      "See sorvanel-ocr(1).");

  std::vector<std::string> textPictures;
  app.add_option("PICTURE", textPictures, "file, web address, or - for standard input");
  app.add_option("-k,--kind", options.kind,
                 "the recognition: accurate (the default), standard, or rare (rare characters)")
      ->type_name("standard|accurate|rare")
      ->transform(CLI::CheckedTransformer(
                      std::map<std::string, int>{{"standard", 0}, {"accurate", 1}, {"rare", 2}},
                      CLI::ignore_case)
                      .description(""));
  app.add_flag("--json", options.json,
               "one JSON object per picture and line: picture, lines, reply, error");
  app.add_flag("-p,--probability", options.probability,
               "ask for each line's confidence values (shown with --json)");
  AddServiceOptions(app, options);

  CLI::App* idCard = AddRecognition(app, "id-card", "recognise an identity card", options);
  idCard->add_flag("--back", options.idCardBack, "the side with the emblem (default: photo)");
  idCard->add_flag("--detect-direction", options.detectDirection, "detect and correct rotation");
  idCard->add_flag("--detect-risk", options.detectRisk, "detect copies and altered cards");
  CLI::App* bankCard = AddRecognition(app, "bank-card", "recognise a bank card", options);
  CLI::App* plate = AddRecognition(app, "plate", "recognise vehicle number plates", options);
  plate->add_flag("--multi", options.multiPlate, "every plate in the picture, not only one");
  CLI::App* webImage = AddRecognition(app, "web-image", "recognise text in a web picture", options);
  app.require_subcommand(0, 1);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
      app.exit(error);  // --help or --version
      return {std::nullopt, ExitStatus::kText};
    }
    std::cerr << "sorvanel-ocr: " << error.what() << "\n"
              << "Try 'sorvanel-ocr --help' for more information.\n";
    return {std::nullopt, ExitStatus::kUsage};
  }

  if (idCard->parsed()) options.recognition = Recognition::kIdCard;
  if (bankCard->parsed()) options.recognition = Recognition::kBankCard;
  if (plate->parsed()) options.recognition = Recognition::kPlate;
  if (webImage->parsed()) options.recognition = Recognition::kWebImage;
  if (options.recognition == Recognition::kText) options.pictures = textPictures;
  const bool textOptionsGiven =
      app.count("--kind") + app.count("--json") + app.count("--probability") > 0;
  if (std::optional<std::string> error =
          ModeError(options, options.recognition != Recognition::kText && !textPictures.empty(),
                    textOptionsGiven)) {
    std::cerr << "sorvanel-ocr: " << *error << "\n"
              << "Try 'sorvanel-ocr --help' for more information.\n";
    return {std::nullopt, ExitStatus::kUsage};
  }
  return {std::move(options), ExitStatus::kText};
}

}  // namespace sorvanel::cli
