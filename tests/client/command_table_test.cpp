#include "client/command_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/client/gbk.h"

namespace sorvanel {
namespace {

using client_test::Gbk;
using client_test::Utf8;

TEST(CommandTableTest, ListsEveryCommandInTheLibrarysOrder) {
  struct Row {
    const char* name;
    const char* englishName;
    int category;
    const char* codeName;  // empty: listed, not built
  };
  const std::vector<Row> expected = {
      {"云_身份证识别", "Tarvomel_FL1_H1", 1, "RecognizeIdCard"},
      {"云_文字识别_错误码", "Tarvomel_FL1_H2", 1, ""},
      {"云_文字识别", "Tarvomel_FL1_H3", 1, "RecognizeText"},
      {"云_网络图片文字识别", "Tarvomel_FL1_H4", 1, "RecognizeWebImage"},
      {"云_身份证识别_状态", "Tarvomel_FL1_H5", 1, "IdCardStatus"},
      {"云_银行卡识别", "Tarvomel_FL1_H6", 1, "RecognizeBankCard"},
      {"云_车牌识别", "Tarvomel_FL1_H7", 1, "RecognizeLicensePlate"},
      {"云_返回识别文字", "Tarvomel_FL1_H8", 1, "ExtractRecognizedText"},
      {"云_人脸检测", "Tarvomel_FL2_H1", 2, ""},
      {"云_人脸识别_错误码", "Tarvomel_FL2_H2", 2, ""},
      {"云_人脸对比", "Tarvomel_FL2_H3", 2, ""},
      {"云_Access_Token", "Tarvomel_FL3_H1", 3, "FetchAccessToken"},
  };
  const std::vector<CommandInfo>& commands = Commands();
  ASSERT_EQ(commands.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].englishName);
    EXPECT_EQ(commands[i].name, Gbk(expected[i].name));
    EXPECT_EQ(commands[i].englishName, Text(expected[i].englishName));
    EXPECT_EQ(commands[i].category, expected[i].category);
    EXPECT_EQ(commands[i].codeName, Text(expected[i].codeName));
    EXPECT_EQ(commands[i].built, *expected[i].codeName != '\0');
    if (commands[i].built) {
      EXPECT_EQ(commands[i].result, ValueType::kText);
    }
  }
}

TEST(CommandTableTest, CategoriesAreNumberedInOrder) {
  const std::vector<CategoryInfo>& categories = CommandCategories();
  ASSERT_EQ(categories.size(), 3u);
  const char* names[] = {"云文字", "云人脸", "云秘钥"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(categories[i].number, i + 1);
    EXPECT_EQ(categories[i].name, Gbk(names[i]));
  }
}

TEST(CommandTableTest, TextsAreHandedOutInCodePage936) {
  // 云 is D4 C6 in code page 936.
  EXPECT_EQ(Commands()[2].name.str(), "\xD4\xC6_\xCE\xC4\xD7\xD6\xCA\xB6\xB1\xF0");
  EXPECT_EQ(Utf8(Commands()[2].explanation), "普通版  高精度版  含生僻字");
  EXPECT_EQ(Utf8(Commands()[11].explanation), "获取Access_Token");
  EXPECT_EQ(Utf8(Commands()[6].explanation),
            "Color:车牌颜色     number:车牌号码     probability:车牌中每个字符的置信度,"
            "区间为0-1     vertexes_location:返回文字外接多边形顶点位置");
  EXPECT_TRUE(Commands()[7].explanation.empty());
}

// The calling forms of the built commands: names, types, optional flags, the values
// that a left-out argument takes, and the library's explanation of each parameter.
TEST(CommandTableTest, ParametersCarryTypesLeftOutValuesAndExplanations) {
  struct Param {
    const char* name;
    ValueType type;
    bool optional;
    LeftOutValue leftOut;
    const char* explanation;
  };
  const char* tokenExplanation = "云Access_Token  调用 云_Access_Token (, ) 命令 ";
  const Param token{"云_Access_Token", ValueType::kText, false, {}, tokenExplanation};
  const Param tokenTrimmed{"云_Access_Token",
                           ValueType::kText,
                           false,
                           {},
                           "云Access_Token  调用 云_Access_Token (, ) 命令"};
  const Param picture{"图片地址",
                      ValueType::kText,
                      false,
                      {},
                      "支持本地和网络图片,直接输入图片地址即可,不支持https的图片链接?(要求base64"
                      "编码和urlencode后大小不超过4M,最短边至少15px,最长边最大4096px,支持jpg/png/"
                      "bmp格式)"};
  const auto flag = [](const char* name, const char* explanation) {
    return Param{name, ValueType::kBoolean, true, LeftOutValue(false), explanation};
  };
  struct Row {
    const char* englishName;
    std::vector<Param> parameters;
  };
  const std::vector<Row> rows = {
      {"Tarvomel_FL1_H1",
       {token,
        flag("detect_direction",
             "可为空,默认参数:假 (真:true 检测旋转角度并矫正识别     假:false "
             "不检测旋转角度,针对摆放情况不可控制的情况建议本参数置为真)"),
        flag("id_card_side",
             "可为空,默认参数:假(真:front 身份证含照片的一面     假:back 身份证带国徽的一面)"),
        flag("detect_risk",
             "可为空,默认参数:假 (真:开启 true    假:不开启 false )     "
             "身份证风险类型(身份证复印件?临时身份证?身份证翻拍?修改过的身份证)检测功能 ?   "),
        picture}},
      {"Tarvomel_FL1_H3",
       {{"识别类型", ValueType::kInteger, true, LeftOutValue(std::int32_t{0}),
         "可为空,默认参数:0 (普通版:0     高精度版:1     含生僻字:2     网络文字识别:3   )"},
        token,
        picture,
        flag("probability",
             "可为空,默认参数:假 (真:返回 ; 假:不返回 )识别结果中每一行的置信度值,包含average:"
             "行置信度平均值,variance:行置信度方差,min:行置信度最小值()")}},
      {"Tarvomel_FL1_H4", {token, picture}},
      {"Tarvomel_FL1_H5", {{"返回信息", ValueType::kText, false, {}, "身份证识别,返回的数据"}}},
      {"Tarvomel_FL1_H6", {tokenTrimmed, picture}},
      {"Tarvomel_FL1_H7",
       {tokenTrimmed,
        flag("multi_detect",
             "可为空,默认参数:假 (是否检测多张车牌,默认为假,当置为真的时候可以对一张图片内的"
             "多张车牌进行识别)"),
        picture}},
      {"Tarvomel_FL1_H8", {{"返回的文本", ValueType::kText, false, {}, ""}}},
      {"Tarvomel_FL3_H1",
       {{"应用API_Key", ValueType::kText, false, {}, "client_id: 必须参数,应用的API Key;  "},
        {"应用Secret_Key",
         ValueType::kText,
         false,
         {},
         "client_secret: 必须参数,应用的Secret Key;"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.englishName);
    const CommandInfo* command = FindCommand(row.englishName);
    ASSERT_NE(command, nullptr);
    ASSERT_EQ(command->parameters.size(), row.parameters.size());
    for (std::size_t i = 0; i < row.parameters.size(); ++i) {
      SCOPED_TRACE(row.parameters[i].name);
      const ParameterInfo& actual = command->parameters[i];
      EXPECT_EQ(actual.name, Gbk(row.parameters[i].name));
      EXPECT_EQ(actual.type, row.parameters[i].type);
      EXPECT_EQ(actual.optional, row.parameters[i].optional);
      EXPECT_EQ(actual.leftOut, row.parameters[i].leftOut);
      EXPECT_EQ(Utf8(actual.explanation), row.parameters[i].explanation);
    }
  }
}

TEST(CommandTableTest, TokenExplanationLosesItsFinalBlankForCardAndPlate) {
  const Text full = FindCommand("Tarvomel_FL1_H3")->parameters[1].explanation;
  EXPECT_EQ(Utf8(full), "云Access_Token  调用 云_Access_Token (, ) 命令 ");
  for (const char* name : {"Tarvomel_FL1_H6", "Tarvomel_FL1_H7"}) {
    EXPECT_EQ(FindCommand(name)->parameters[0].explanation.str() + " ", full.str()) << name;
  }
  EXPECT_EQ(FindCommand("Tarvomel_FL1_H1")->parameters[0].explanation, full);
}

TEST(CommandTableTest, FindsByEitherName) {
  EXPECT_EQ(FindCommand(Gbk("云_车牌识别")), FindCommand("Tarvomel_FL1_H7"));
  EXPECT_EQ(FindCommand(Gbk("云_车牌识别"))->codeName, Text("RecognizeLicensePlate"));
  EXPECT_EQ(FindCommand("云_车牌识别"), nullptr);  // UTF-8 bytes are not the library's name
  EXPECT_EQ(FindCommand(""), nullptr);
  EXPECT_EQ(FindCommand("Tarvomel_FL4_H1"), nullptr);
}

TEST(CommandTableTest, ClassesFollowTheCommands) {
  const std::vector<ClassInfo>& classes = CommandClasses();
  ASSERT_EQ(classes.size(), 2u);
  EXPECT_EQ(classes[0].name, Gbk("json_类"));
  EXPECT_EQ(classes[0].codeName, Text("JsonObject"));
  EXPECT_EQ(classes[1].name, Gbk("正则_支持库"));
  EXPECT_EQ(classes[1].codeName, Text("RegexObject"));
  EXPECT_EQ(classes[0].lifecycle.front(), Gbk("_销毁"));

  const std::vector<MethodInfo>& json = classes[0].methods;
  ASSERT_EQ(json.size(), 22u);
  EXPECT_EQ(json.front().name, Gbk("解析"));
  EXPECT_EQ(json.front().englishName, Text("Tarvomel_L1_F1"));
  EXPECT_EQ(json[7].name, Gbk("取通用属性"));
  EXPECT_EQ(json[7].englishName, Text("Tarvomel_L1_F8"));
  EXPECT_EQ(json[7].codeName, Text("JsonObject::GetGeneralProperty"));
  ASSERT_EQ(json[7].parameters.size(), 2u);
  EXPECT_EQ(json[7].parameters[1].name, Gbk("为对象"));
  EXPECT_TRUE(json[7].parameters[1].optional);
  EXPECT_EQ(json[9].codeName, Text("JsonObject::MemberCount"));
  EXPECT_TRUE(json[9].parameters[0].optional);
  EXPECT_EQ(json.back().englishName, Text("Tarvomel_L1_F22"));
  EXPECT_EQ(json.back().codeName, Text("JsonObject::Clear"));

  const std::vector<MethodInfo>& regex = classes[1].methods;
  ASSERT_EQ(regex.size(), 8u);
  EXPECT_EQ(regex.front().codeName, Text("RegexObject::Create"));
  // Create's switches default to: case-insensitive, multi-line, global, no quote marker.
  const std::vector<ParameterInfo>& create = regex.front().parameters;
  ASSERT_EQ(create.size(), 6u);
  EXPECT_EQ(create[2].leftOut, LeftOutValue(false));
  EXPECT_EQ(create[3].leftOut, LeftOutValue(true));
  EXPECT_EQ(create[4].leftOut, LeftOutValue(true));
  EXPECT_EQ(create[5].leftOut, LeftOutValue(false));
  EXPECT_EQ(regex.back().englishName, Text("Tarvomel_L2_F8"));
  EXPECT_EQ(regex.back().codeName, Text("RegexObject::GetSubMatchCount"));
}

TEST(CommandTableTest, NamesAreUniqueWithinTheirTable) {
  std::set<Text> names;
  for (const CommandInfo& command : Commands()) {
    EXPECT_TRUE(names.insert(command.name).second) << command.englishName.str();
    EXPECT_TRUE(names.insert(command.englishName).second) << command.englishName.str();
  }
  for (const ClassInfo& info : CommandClasses()) {
    std::set<Text> methods;
    for (const MethodInfo& method : info.methods) {
      EXPECT_TRUE(methods.insert(method.englishName).second) << method.englishName.str();
      EXPECT_TRUE(methods.insert(method.codeName).second) << method.codeName.str();
    }
  }
}

}  // namespace
}  // namespace sorvanel
