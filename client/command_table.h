// The client library's vocabulary: every command it lists, in the library's order, with
// its Chinese name, English name, category, explanation and typed parameters, and then
// its two classes with their methods.
//
// The table is data: it calls nothing. A front end that binds commands by name (the
// command line, a script host) reads it to learn each command's calling form. Commands
// that the table marks as not built have no routine behind them.
//
// Every text handed out is in code page 936, like every other text of the library.
// The tables are built once, on first use, and never change afterwards: the references
// returned stay valid for the life of the process and are safe to read on any thread.
#ifndef SORVANEL_CLIENT_COMMAND_TABLE_H_
#define SORVANEL_CLIENT_COMMAND_TABLE_H_

#include <cstdint>
#include <variant>
#include <vector>

#include "encoding/text.h"

namespace sorvanel {

// The type of a parameter or of a result.
enum class ValueType {
  kNone,        // no result
  kText,        // Text
  kInteger,     // signed 32-bit integer
  kBoolean,     // switch
  kDouble,      // floating-point number
  kTextArray,   // an array of Text that the routine fills in
  kJsonObject,  // a new json_类 object
};

// The value that a left-out optional argument takes; std::monostate for a required one.
using LeftOutValue = std::variant<std::monostate, std::int32_t, bool, Text>;

struct ParameterInfo {
  Text name;  // the library's name, e.g. 图片地址
  ValueType type = ValueType::kText;
  bool optional = false;
  LeftOutValue leftOut;  // meaningful only when optional
  Text explanation;      // may be empty
};

struct CategoryInfo {
  int number = 0;  // 1, 2, 3 in the library's order
  Text name;       // e.g. 云文字
};

struct CommandInfo {
  Text name;         // the Chinese name by which a program calls it, e.g. 云_文字识别
  Text englishName;  // e.g. Tarvomel_FL1_H3
  int category = 0;  // a CategoryInfo::number
  Text explanation;  // may be empty
  ValueType result = ValueType::kText;
  std::vector<ParameterInfo> parameters;  // in calling order
  Text codeName;       // the routine of this library, e.g. RecognizeText; empty when not built
  bool built = false;  // false for the commands the library lists but does not provide
};

struct MethodInfo {
  Text name;         // e.g. 取通用属性
  Text englishName;  // e.g. Tarvomel_L1_F8
  Text codeName;     // e.g. JsonObject::GetGeneralProperty
  Text explanation;  // may be empty
  ValueType result = ValueType::kNone;
  std::vector<ParameterInfo> parameters;
};

struct ClassInfo {
  Text name;      // e.g. json_类
  Text codeName;  // e.g. JsonObject
  // The class's own routines, which lead its table of operations, in table order
  // (e.g. _销毁, _复制, _初始化).
  std::vector<Text> lifecycle;
  std::vector<MethodInfo> methods;  // in table order
};

// The three categories, numbered in order: 云文字, 云人脸, 云秘钥.
const std::vector<CategoryInfo>& CommandCategories();

// The twelve commands in the library's order (云_身份证识别 first, 云_Access_Token last).
const std::vector<CommandInfo>& Commands();

// The two classes in the library's order: json_类, then 正则_支持库.
const std::vector<ClassInfo>& CommandClasses();

// The command with that Chinese or English name (compared byte for byte, in 936), or
// nullptr when the table has none.
const CommandInfo* FindCommand(const Text& name);

}  // namespace sorvanel

#endif  // SORVANEL_CLIENT_COMMAND_TABLE_H_
