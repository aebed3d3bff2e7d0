#include "cli/recognition_job.h"

#include "cli/output_format.h"
#include "cli/picture_input.h"
#include "cli/service_reply.h"
#include "client/other_recognitions.h"
#include "client/text_recognition.h"
#include "web/web_failure.h"

namespace sorvanel::cli {
namespace {

// Runs the command the options name; the result is the command's reply.
Text RunCommand(const Options& options, const Text& token, const Text& picture) {
  switch (options.recognition) {
    case Recognition::kText:
      return RecognizeText(options.kind, token, picture, options.probability);
    case Recognition::kIdCard:
      return RecognizeIdCard(token, options.detectDirection, !options.idCardBack,
                             options.detectRisk, picture);
    case Recognition::kBankCard:
      return RecognizeBankCard(token, picture);
    case Recognition::kPlate:
      return RecognizeLicensePlate(token, options.multiPlate, picture);
    case Recognition::kWebImage:
      return RecognizeWebImage(token, picture);
  }
  return Text();
}

PictureResult TextResult(const Options& options, const std::string& picture,
                         const ServiceReply& reply) {
  PictureResult result;
  std::vector<RecognisedLine> lines;
  if (reply.error) {
    result.status = ExitStatus::kService;
    result.message = *reply.error;
  } else {
    lines = RecognisedLines(reply.document, options.probability);
    bool anyText = false;
    for (const RecognisedLine& line : lines) anyText = anyText || !line.text.empty();
    if (!anyText) {
      result.status = ExitStatus::kNoText;
      result.message = "no text found";
    }
  }
  result.output =
      options.json ? JsonLine(picture, lines, &reply, result.message) : PlainLines(lines);
  return result;
}

// The other recognitions print the service's reply itself, one line a picture.
PictureResult ReplyResult(const ServiceReply& reply) {
  PictureResult result;
  if (reply.error) {
    result.status = ExitStatus::kService;
    result.message = *reply.error;
  }
  if (std::optional<std::string> compact = CompactReply(reply)) result.output = *compact + "\n";
  return result;
}

}  // namespace

PictureResult RecognisePicture(const RunContext& context, const std::string& picture) {
  const Options& options = *context.options;
  const PreparedPicture prepared = PreparePicture(picture, context.standardInput);
  if (!prepared.picture) {
    PictureResult result =
        UnservedPicture(options, picture, ExitStatus::kUnreadable, prepared.error);
    result.message = prepared.error;
    return result;
  }
  const Text reply = RunCommand(options, context.accessToken, prepared.picture->address());
  // The command's last exchange is its recognition request, made on this thread.
  const ServiceReply read = ReadServiceReply(reply, LastWebFailure(), context.host);
  return options.recognition == Recognition::kText ? TextResult(options, picture, read)
                                                   : ReplyResult(read);
}

PictureResult UnservedPicture(const Options& options, const std::string& picture, ExitStatus status,
                              const std::string& error) {
  PictureResult result;
  result.status = status;
  if (options.json) result.output = JsonLine(picture, {}, nullptr, error);
  return result;
}

}  // namespace sorvanel::cli
