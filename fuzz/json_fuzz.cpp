// Fuzz target for JsonObject: parsing, writing, reading by path and changing by path.
//
// Properties: a document that parses writes a text that parses again to the same
// text; a value read through GetProperty writes what GetPropertyObject gives; after
// any sequence of changes the document's text still parses back to itself.
//
// Input fields: the JSON text, then up to kMaxSteps steps of an operation byte, an
// index byte, a path and a value.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "json/json_object.h"

namespace sorvanel::fuzz {
namespace {

// Enough steps to build nested documents; few enough that one case stays quick.
constexpr int kMaxSteps = 24;

// Whether the document's text reads back as the same text. A document whose root is
// not an object or array (a text set by Assign, a number) is not a JSON text that
// Parse accepts, so only those two are held to it.
void CheckRoundTrip(const JsonObject& object) {
  if (object.GetType() != 4) return;
  const Text text = object.GetDataText();
  JsonObject again;
  FUZZ_CHECK(again.Parse(text));
  FUZZ_CHECK(again.GetDataText() == text);
}

void Read(const JsonObject& object, const Text& path, int index) {
  object.GetPropertyNumber(path);
  const Text json = object.GetPropertyObject(path);
  object.GetGeneralProperty(path, false);
  object.GetGeneralProperty(path, true);
  const int type = object.GetType(path);
  const JsonObject copy = object.GetProperty(path);
  if (!path.empty() && (type == 4 || type == 5)) {
    FUZZ_CHECK(copy.GetDataText() == json);
    CheckRoundTrip(copy);
  }
  object.MemberCount(path);
  object.PropertyExists(path);
  std::vector<Text> names;
  const int count = object.GetAllPropertyNames(names, path);
  FUZZ_CHECK(count == static_cast<int>(names.size()));
  object.GetMemberText(index, path, false);
  object.GetMemberText(index, path, true);
  object.GetMember(index, path).GetDataText();
}

void Change(JsonObject& object, std::uint8_t op, const Text& path, const Text& value, int index) {
  const bool asObject = (op & 0x10) != 0;
  switch (op % 12) {
    case 0:
      object.SetProperty(path, value, asObject);
      break;
    case 1:
      object.SetPropertyObject(path, value);
      break;
    case 2:
      // A number from the value's bytes: large, small, negative and fractional ones.
      object.SetPropertyNumber(path, static_cast<double>(index) * (asObject ? 1e-3 : 1e15));
      break;
    case 3:
      object.AddMember(value, path, asObject);
      break;
    case 4:
      object.SetMember(index, value, asObject);
      break;
    case 5:
      object.DeleteMember(index);
      break;
    case 6:
      object.DeleteProperty(path);
      break;
    case 7:
      object.SetType(index & 7);
      break;
    case 8:
      object.Assign(value, asObject);
      break;
    case 9:
      object.Clear();
      break;
    case 10: {
      // A copy shares the document: a change through it is seen through the original.
      JsonObject alias = object;
      alias.SetProperty(path, value, asObject);
      FUZZ_CHECK(alias.GetDataText() == object.GetDataText());
      break;
    }
    default:
      object = object.GetProperty(path);
      break;
  }
}

}  // namespace

void FuzzOne(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  JsonObject object;
  if (object.Parse(input.NextText())) CheckRoundTrip(object);
  for (int step = 0; step < kMaxSteps && !input.empty(); ++step) {
    const std::uint8_t op = input.NextByte();
    // Indices around zero and the ends of short arrays; now and then a far one, which
    // lengthens an array by up to some thousands of holes, or one near the ends of the
    // int range, which no array may grow to. Far more holes, written and parsed again
    // after every step, only make a case slow.
    int index = static_cast<std::int8_t>(input.NextByte());
    if ((op & 0x60) == 0x60) {
      index *= 1 << 24;  // -128 gives INT_MIN
    } else if ((op & 0x40) != 0) {
      index *= 37;
    }
    const Text path = input.NextText();
    const Text value = input.NextText();
    if ((op & 0x80) != 0) {
      Read(object, path, index);
    } else {
      Change(object, op, path, value, index);
      CheckRoundTrip(object);
    }
  }
}

}  // namespace sorvanel::fuzz
