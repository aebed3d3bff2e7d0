// JsonObject: one JSON document, read and changed by path.
//
// The document is one value: an object (members in the order of their first creation,
// one per key), an array (elements from 0; elements never set read as missing and are
// written null), a text, a number (a double), a boolean, null, or missing (what a
// member that does not exist reads as; a member can also hold it). A new object's
// document is an empty object.
//
// Paths. A path selects a value from the document: ".name" (written without its dot at
// the start of a path: "a.b"), "[n]" for element n of an array or the member whose key
// is the decimal text of n, and "['key']" or ["key"] for a key that is not a name (a
// number, a key with a space). So "words_result[3].words", "a['x y'][0]". Selection
// follows JavaScript: a member that does not exist is missing, selecting a member of a
// text, number or boolean gives missing, and selecting anything from missing or null
// cannot be followed, which is not the same as missing (see MemberCount). A path that
// begins with "[" (selecting from a root array) is accepted only by GetGeneralProperty,
// GetProperty, MemberCount and GetAllPropertyNames; in the other methods such a path,
// and the empty path where a method does not say it means the root, cannot be read:
// the method gives its neutral result.
//
// Texts. Every Text going in (paths, values, JSON texts) is in code page 936 and is
// converted to UTF-8 for the document; every text coming out is converted back, with
// '?' for a character that 936 cannot hold. An escape such as \u4e2d in a document
// reads back as the character.
//
// Failure. No method throws or reports an error: a path that cannot be read or
// followed, or a value that cannot be stored, gives the method's neutral result (the
// empty text, 0, false, type -1) or changes nothing. No text is ever run as script:
// values are JSON texts or plain texts, nothing else.
//
// Arrays. Setting an element past the end fills the gap with holes (they read as
// missing and are written as null); one change may add at most 2^20 holes, and one
// that would add more changes nothing. Holes take no memory of their own. Appends and
// changes of existing elements work at any length.
//
// Sharing and threads. Copies of an object share its one document (reference-counted):
// a change through one is seen through all, and the document lives as long as the last
// copy. GetProperty and GetMember return objects with documents of their own. Objects
// that share a document must not be used from two threads at once; objects with
// separate documents are independent.
#ifndef SORVANEL_JSON_JSON_OBJECT_H_
#define SORVANEL_JSON_JSON_OBJECT_H_

#include <memory>
#include <vector>

#include "encoding/text.h"

namespace sorvanel {

class JsonDocument;

class JsonObject {
 public:
  // A new document: an empty object.
  JsonObject();
  // A second handle on the same document; nothing is copied.
  JsonObject(const JsonObject&);
  JsonObject& operator=(const JsonObject&);
  ~JsonObject();

  // Replaces the document by the value of the JSON text `jsonText` and returns whether
  // the document is now neither null nor missing (0, false, "" and [] count as read).
  // A text that is not JSON (comments, single quotes, script), a JSON text whose root is
  // a text, and nesting deeper than 1000 arrays and objects leave the document null
  // and return false; so does the JSON text null. The empty (or blank) text leaves the
  // document missing and returns false. A duplicate key keeps its first place and
  // takes its last value; numbers become doubles (1e400 is infinity, written null).
  bool Parse(const Text& jsonText);

  // The whole document as compact JSON: no spaces, members in order, the escapes of
  // GetPropertyObject. The empty text when the document is missing.
  Text GetDataText() const;

  // Stores `value` at `path` (its parent must be an object or array; a new member comes
  // after all others, an existing one keeps its place; an array is lengthened with
  // missing elements). With asObject false the value is read as the content of a
  // JavaScript quoted text: its backslash escapes are decoded (\n, \\, \', \uXXXX, \xXX
  // and the others) and it is stored as a text; a quote or line break that stands alone
  // is kept as itself. With asObject true the value is a JSON text whose value is
  // stored; the empty value stores an empty object. Changes nothing when the path
  // cannot be followed to a parent, the parent is a text, number or boolean, or the
  // value is not JSON (a JSON text whose root is a text included).
  void SetProperty(const Text& path, const Text& value, bool asObject = false);

  // Stores the value of the JSON text `value` at `path`, as SetProperty with asObject
  // true does, except that the empty value stores missing: the member then exists
  // (GetAllPropertyNames lists it, MemberCount counts it) but reads as missing.
  void SetPropertyObject(const Text& path, const Text& value);

  // Stores `value` rounded to six decimals (0.1234567 stores 0.123457, 1e-7 stores 0)
  // at `path`, as SetProperty does. A value that is not finite changes nothing.
  void SetPropertyNumber(const Text& path, double value);

  // The number at `path`; a boolean gives -1 for true and 0 for false; anything else
  // (a text such as "12", null, missing, a path that cannot be followed) gives 0.
  double GetPropertyNumber(const Text& path) const;

  // The compact JSON text of the value at `path`: a text in double quotes with its
  // escapes, a number as JavaScript writes it, null as null. The empty text for a
  // missing value or a path that cannot be followed.
  Text GetPropertyObject(const Text& path) const;

  // The value at `path` (a leading "[" selects from a root array; the empty path reads
  // nothing). With asObject true: its JSON text, as GetPropertyObject. With asObject
  // false: a text as it is (no quotes, no escapes); a number, when GetType of the path
  // says 2, in six-decimal form with trailing zeros removed (42, 2.5, 0.333333), and
  // otherwise as JavaScript writes it; true as -1 and false as 0; an object as
  // [object Object]; an array as its elements' texts joined by ","; the empty text for
  // null, missing and a path that cannot be followed.
  Text GetGeneralProperty(const Text& path, bool asObject = false) const;

  // A new object whose document is a separate copy of the value at `path` (a leading
  // "[" is accepted), made by writing it as JSON and parsing that text: a text value,
  // null and a path that cannot be followed give a null document, a missing value a
  // missing one. Later changes to either document do not reach the other.
  JsonObject GetProperty(const Text& path) const;

  // The number of members of the object, or of elements of the array, at `path` (the
  // empty path for the root; a leading "[" is accepted); members holding missing count,
  // array elements never set do not. A text, number or boolean gives 1; null or a
  // missing value gives -2; a path that cannot be followed gives 0. Callers treat any
  // result below 1 as an empty list.
  int MemberCount(const Text& path = Text()) const;

  // Appends `memberValue` to the array at `path` (the root for the empty path). When the
  // value there is not an array it is first replaced by an empty one, and what it held
  // is lost. With asObject false the value is stored as a text, decoded as in
  // SetProperty; with asObject true it is a JSON text (a text root stored as that
  // text), and the empty value appends nothing (the replacement still happens).
  // Changes nothing when the path cannot be followed to a parent or the value is not
  // JSON.
  void AddMember(const Text& memberValue, const Text& path = Text(), bool asObject = false);

  // A new object holding a separate copy of element `index` of the array at `path`
  // (the root for the empty path), made as GetProperty makes it.
  JsonObject GetMember(int index, const Text& path = Text()) const;

  // Element `index` of the array at `path` (the root for the empty path): its JSON text
  // with asObject true, its plain text with asObject false (a number as JavaScript
  // writes it, true -1, false 0), as GetGeneralProperty words them.
  Text GetMemberText(int index, const Text& path = Text(), bool asObject = false) const;

  // Stores `memberValue` as element `index` of a root array (lengthening it with
  // missing elements) or as the member named by the decimal index of a root object;
  // the value is read as in SetProperty, except that with asObject true a JSON text
  // whose root is a text stores that text, and the empty value changes nothing.
  void SetMember(int index, const Text& memberValue, bool asObject = false);

  // Removes element `index` of a root array; the later elements move down. A negative
  // index counts from the end (-1 is the last element); an index at or beyond the end
  // removes nothing; a root that is not an array does not change.
  void DeleteMember(int index);

  // Removes one element of an array member: the element whose index is written between
  // the first "[" of `path` and the next "]", from the array at the part of `path`
  // before that "[" (for "list[1]", element 1 of list; for "a.b[1][2]", element 1 of
  // a.b). The member is written back as a fresh copy of itself. Changes nothing when
  // `path` has no "[" or begins with one, or when the member is not an array, object,
  // number or boolean.
  void DeleteProperty(const Text& path);

  // Replaces the document: 0 or 4 by an empty object, 5 by an empty array. Any other
  // code changes nothing.
  void SetType(int typeCode);

  // Replaces the whole document by `value`: with asObject false a text (decoded as in
  // SetProperty), with asObject true the value of a JSON text (a text root stored as
  // that text). With asObject true an empty value or a value that is not JSON changes
  // nothing.
  void Assign(const Text& value, bool asObject = false);

  // Whether the value at `path` exists and is not null.
  bool PropertyExists(const Text& path) const;

  // Replaces `names` by the keys of the object at `path` (the root for the empty path;
  // a leading "[" is accepted) in member order, or by the indices 0, 1, ... of the
  // elements of an array, and returns how many. A text, number or boolean gives the one
  // name toJSON; null, missing and a path that cannot be followed give none. Keys are
  // listed through one text with "," after each key, so a key holding "," gives two
  // names, and the texts "toJSONString," and "parseJSON," are removed from it.
  int GetAllPropertyNames(std::vector<Text>& names, const Text& path = Text()) const;

  // The kind of the value at `path` (the root for the empty path): 0 null or missing,
  // 1 boolean, 2 number, 4 object, 5 array, 6 text, -1 when the path cannot be read or
  // followed. The root itself is 4 when it is an array as well as when it is an object.
  int GetType(const Text& path = Text()) const;

  // Replaces the document by an empty object.
  void Clear();

 private:
  friend class JsonDocument;
  std::shared_ptr<JsonDocument> document_;
};

}  // namespace sorvanel

#endif  // SORVANEL_JSON_JSON_OBJECT_H_
