#include "client/command_table.h"

#include <string_view>
#include <utility>

#include "encoding/codepage.h"

namespace sorvanel {
namespace {

// The library's own texts, kept in UTF-8 here and handed out in code page 936.
constexpr char kTokenCommandExplanation[] = "获取Access_Token";
constexpr char kApiKeyExplanation[] = "client_id: 必须参数,应用的API Key;  ";
constexpr char kSecretKeyExplanation[] = "client_secret: 必须参数,应用的Secret Key;";
constexpr char kRecognizeTextExplanation[] = "普通版  高精度版  含生僻字";
constexpr char kKindExplanation[] =
    "可为空,默认参数:0 (普通版:0     高精度版:1     含生僻字:2     网络文字识别:3   )";
constexpr char kAccessTokenExplanation[] = "云Access_Token  调用 云_Access_Token (, ) 命令 ";
constexpr char kPictureExplanation[] =
    "支持本地和网络图片,直接输入图片地址即可,不支持https的图片链接?("
    "要求base64编码和urlencode后大小不超过4M,最短边至少15px,最长边最大4096px,支持jpg/png/bmp格式)";
constexpr char kProbabilityExplanation[] =
    "可为空,默认参数:假 (真:返回 ; 假:不返回 "
    ")识别结果中每一行的置信度值,包含average:行置信度平均值,variance:行置信度方差,min:"
    "行置信度最小值()";
constexpr char kIdCardExplanation[] =
    "image_status:normal-识别正常;reversed_side-身份证正反面颠倒;non_idcard-"
    "上传的图片中不包含身份证;blurred-身份证模糊;other_type_card-其他类型证照;over_exposure-"
    "身份证关键字段反光或过曝;unknown-未知状态";
constexpr char kWebImageExplanation[] =
    "words_result:识别结果数组     words_result_num:识别结果数,表示words_result的元素个数";
constexpr char kBankCardExplanation[] =
    "+bank_card_number:银行卡卡号     +bank_name:银行名,不能识别时为空     "
    "+bank_card_type:银行卡类型,0:不能识别; 1: 借记卡; 2: 信用卡";
constexpr char kLicensePlateExplanation[] =
    "Color:车牌颜色     number:车牌号码     probability:车牌中每个字符的置信度,区间为0-1     "
    "vertexes_location:返回文字外接多边形顶点位置";
constexpr char kIdCardStatusExplanation[] =
    "image_status     "
    "normal-识别正常;reversed_side-身份证正反面颠倒;non_idcard-上传的图片中不包含身份证;blurred-"
    "身份证模糊;other_type_card-其他类型证照;over_exposure-身份证关键字段反光或过曝;unknown-"
    "未知状态";
constexpr char kDetectDirectionExplanation[] =
    "可为空,默认参数:假 (真:true 检测旋转角度并矫正识别     假:false "
    "不检测旋转角度,针对摆放情况不可控制的情况建议本参数置为真)";
constexpr char kIdCardSideExplanation[] =
    "可为空,默认参数:假(真:front 身份证含照片的一面     假:back 身份证带国徽的一面)";
constexpr char kDetectRiskExplanation[] =
    "可为空,默认参数:假 (真:开启 true    假:不开启 false )     "
    "身份证风险类型(身份证复印件?临时身份证?身份证翻拍?修改过的身份证)检测功能 ?   ";
constexpr char kMultiDetectExplanation[] =
    "可为空,默认参数:假 "
    "(是否检测多张车牌,默认为假,当置为真的时候可以对一张图片内的多张车牌进行识别)";
constexpr char kReplyInfoExplanation[] = "身份证识别,返回的数据";
constexpr char kTypeCodesExplanation[] = "空=0,逻辑=1,数=2,对象=4,数组=5,文本=6";
constexpr char kSetTypeValueExplanation[] = "0空,4对象,5数组";
constexpr char kDeletePropertyPathExplanation[] = "只支持删除一层组成员";
constexpr char kBracketPathExplanation[] =
    "支持a.b.c[0]或者[0].a.b,键名为数值时a.b模式无效,必须使用a[20]模式?";
constexpr char kKeyPathExplanation[] =
    "对于数字键名或者非正常变量字符(比如有空格),必须使用 aa[x]的方式?";
constexpr char kMatchIndexExplanation[] = "第几个匹配文本,索引值从1开始";
constexpr char kSubExpressionIndexExplanation[] =
    "欲取其值的子表达式?该参数对应与正则表达式中的一个子表达式(以圆括号标记)?索引从1开始?";
// The token parameter of the bank-card and number-plate commands reads the same
// without the final blank.
constexpr std::string_view kAccessTokenExplanationTrimmed(kAccessTokenExplanation,
                                                          sizeof(kAccessTokenExplanation) - 2);

Text Gbk(std::string_view utf8) { return Text(ConvertCodePage(utf8, kUtf8CodePage, kGbkCodePage)); }

ParameterInfo Required(std::string_view name, ValueType type, std::string_view explanation = {}) {
  return ParameterInfo{Gbk(name), type, false, std::monostate{}, Gbk(explanation)};
}

ParameterInfo Optional(std::string_view name, ValueType type, LeftOutValue leftOut,
                       std::string_view explanation = {}) {
  return ParameterInfo{Gbk(name), type, true, std::move(leftOut), Gbk(explanation)};
}

ParameterInfo OptionalSwitch(std::string_view name, std::string_view explanation = {}) {
  return Optional(name, ValueType::kBoolean, false, explanation);
}

ParameterInfo AccessTokenParameter(std::string_view explanation = kAccessTokenExplanation) {
  return Required("云_Access_Token", ValueType::kText, explanation);
}

ParameterInfo PictureParameter() {
  return Required("图片地址", ValueType::kText, kPictureExplanation);
}

CommandInfo Command(std::string_view name, std::string_view englishName, int category,
                    std::string_view explanation, std::vector<ParameterInfo> parameters,
                    std::string_view codeName) {
  return CommandInfo{Gbk(name),        englishName,           category,       Gbk(explanation),
                     ValueType::kText, std::move(parameters), Text(codeName), !codeName.empty()};
}

// A command that the library lists but does not provide.
CommandInfo Listed(std::string_view name, std::string_view englishName, int category,
                   ValueType result) {
  CommandInfo info = Command(name, englishName, category, {}, {}, {});
  info.result = result;
  return info;
}

std::vector<CommandInfo> BuildCommands() {
  std::vector<CommandInfo> commands;
  commands.push_back(Command(
      "云_身份证识别", "Tarvomel_FL1_H1", 1, kIdCardExplanation,
      {AccessTokenParameter(), OptionalSwitch("detect_direction", kDetectDirectionExplanation),
       OptionalSwitch("id_card_side", kIdCardSideExplanation),
       OptionalSwitch("detect_risk", kDetectRiskExplanation), PictureParameter()},
      "RecognizeIdCard"));
  commands.push_back(Listed("云_文字识别_错误码", "Tarvomel_FL1_H2", 1, ValueType::kText));
  commands.push_back(
      Command("云_文字识别", "Tarvomel_FL1_H3", 1, kRecognizeTextExplanation,
              {Optional("识别类型", ValueType::kInteger, std::int32_t{0}, kKindExplanation),
               AccessTokenParameter(), PictureParameter(),
               OptionalSwitch("probability", kProbabilityExplanation)},
              "RecognizeText"));
  commands.push_back(Command("云_网络图片文字识别", "Tarvomel_FL1_H4", 1, kWebImageExplanation,
                             {AccessTokenParameter(), PictureParameter()}, "RecognizeWebImage"));
  commands.push_back(Command("云_身份证识别_状态", "Tarvomel_FL1_H5", 1, kIdCardStatusExplanation,
                             {Required("返回信息", ValueType::kText, kReplyInfoExplanation)},
                             "IdCardStatus"));
  commands.push_back(
      Command("云_银行卡识别", "Tarvomel_FL1_H6", 1, kBankCardExplanation,
              {AccessTokenParameter(kAccessTokenExplanationTrimmed), PictureParameter()},
              "RecognizeBankCard"));
  commands.push_back(
      Command("云_车牌识别", "Tarvomel_FL1_H7", 1, kLicensePlateExplanation,
              {AccessTokenParameter(kAccessTokenExplanationTrimmed),
               OptionalSwitch("multi_detect", kMultiDetectExplanation), PictureParameter()},
              "RecognizeLicensePlate"));
  commands.push_back(Command("云_返回识别文字", "Tarvomel_FL1_H8", 1, {},
                             {Required("返回的文本", ValueType::kText)}, "ExtractRecognizedText"));
  // The face requests are listed without a calling form: nothing of theirs is fixed.
  commands.push_back(Listed("云_人脸检测", "Tarvomel_FL2_H1", 2, ValueType::kNone));
  commands.push_back(Listed("云_人脸识别_错误码", "Tarvomel_FL2_H2", 2, ValueType::kText));
  commands.push_back(Listed("云_人脸对比", "Tarvomel_FL2_H3", 2, ValueType::kNone));
  commands.push_back(Command("云_Access_Token", "Tarvomel_FL3_H1", 3, kTokenCommandExplanation,
                             {Required("应用API_Key", ValueType::kText, kApiKeyExplanation),
                              Required("应用Secret_Key", ValueType::kText, kSecretKeyExplanation)},
                             "FetchAccessToken"));
  return commands;
}

// Methods are numbered from 1 in table order within their class: Tarvomel_L<class>_F<n>.
class MethodList {
 public:
  MethodList(int classNumber, std::string_view codePrefix)
      : classNumber_(classNumber), codePrefix_(codePrefix) {}

  MethodList& Add(std::string_view name, std::string_view codeName, ValueType result,
                  std::vector<ParameterInfo> parameters, std::string_view explanation = {}) {
    const int number = static_cast<int>(methods_.size()) + 1;
    Text englishName = Text("Tarvomel_L") + Text(std::to_string(classNumber_)) + Text("_F") +
                       Text(std::to_string(number));
    methods_.push_back(MethodInfo{Gbk(name), std::move(englishName),
                                  Text(std::string(codePrefix_) + "::" + std::string(codeName)),
                                  Gbk(explanation), result, std::move(parameters)});
    return *this;
  }

  std::vector<MethodInfo> Take() { return std::move(methods_); }

 private:
  int classNumber_;
  std::string_view codePrefix_;
  std::vector<MethodInfo> methods_;
};

ClassInfo BuildJsonClass() {
  using enum ValueType;
  // The four methods that accept a path beginning with "[" carry the explanation that
  // shows that form; the other paths the one about keys that need brackets.
  auto bracketPath = [] { return Required("名字", kText, kBracketPathExplanation); };
  auto optionalBracketPath = [] {
    return Optional("名字", kText, Text(), kBracketPathExplanation);
  };
  auto path = [] { return Required("名字", kText, kKeyPathExplanation); };
  auto optionalPath = [] { return Optional("名字", kText, Text(), kKeyPathExplanation); };
  auto asObject = [] { return OptionalSwitch("为对象"); };
  MethodList list(1, "JsonObject");
  list.Add("解析", "Parse", kBoolean, {Required("数据文本", kText)})
      .Add("取数据文本", "GetDataText", kText, {})
      .Add("置属性", "SetProperty", kNone, {path(), Required("值", kText), asObject()})
      .Add("置属性对象", "SetPropertyObject", kNone, {path(), Required("值", kText)})
      .Add("置属性数值", "SetPropertyNumber", kNone, {path(), Required("值", kDouble)})
      .Add("取属性数值", "GetPropertyNumber", kDouble, {path()})
      .Add("取属性对象", "GetPropertyObject", kText, {path()})
      .Add("取通用属性", "GetGeneralProperty", kText, {bracketPath(), asObject()})
      .Add("取属性", "GetProperty", kJsonObject, {bracketPath()})
      .Add("成员数", "MemberCount", kInteger, {optionalBracketPath()})
      .Add("加成员", "AddMember", kNone, {Required("成员值", kText), optionalPath(), asObject()})
      .Add("取成员", "GetMember", kJsonObject, {Required("索引", kInteger), optionalPath()})
      .Add("取成员文本", "GetMemberText", kText,
           {Required("索引", kInteger), optionalPath(), asObject()})
      .Add("置成员", "SetMember", kNone,
           {Required("索引", kInteger), Required("成员值", kText), asObject()})
      .Add("删成员", "DeleteMember", kNone, {Required("索引", kInteger)})
      .Add("删属性", "DeleteProperty", kNone,
           {Required("名字", kText, kDeletePropertyPathExplanation)})
      .Add("置类型", "SetType", kNone, {Required("值", kInteger, kSetTypeValueExplanation)})
      .Add("赋值", "Assign", kNone, {Required("值", kText), asObject()})
      .Add("属性是否存在", "PropertyExists", kBoolean, {path()})
      .Add("取所有属性名", "GetAllPropertyNames", kInteger,
           {Required("属性名数组", kTextArray), optionalBracketPath()})
      .Add("取类型", "GetType", kInteger, {optionalPath()}, kTypeCodesExplanation)
      .Add("清除", "Clear", kNone, {});
  return ClassInfo{
      Gbk("json_类"), "JsonObject", {Gbk("_销毁"), Gbk("_复制"), Gbk("_初始化")}, list.Take()};
}

ClassInfo BuildRegexClass() {
  using enum ValueType;
  MethodList list(2, "RegexObject");
  list.Add("创建", "Create", kBoolean,
           {Required("正则表达式文本", kText), Required("被搜索的文本", kText),
            Optional("是否区分大小写", kBoolean, false), Optional("是否匹配多行", kBoolean, true),
            Optional("是否全局匹配", kBoolean, true), Optional("自动替换引号", kBoolean, false)})
      .Add("查看", "View", kNone, {})
      .Add("取正则文本", "GetPatternText", kText, {})
      .Add("替换", "Replace", kText,
           {Required("欲被替换的文本", kText), Optional("用作替换的文本", kText, Text())})
      .Add("取匹配数量", "GetMatchCount", kInteger, {})
      .Add("取匹配文本", "GetMatchText", kText,
           {Required("匹配索引", kInteger, kMatchIndexExplanation)})
      .Add("取子匹配文本", "GetSubMatchText", kText,
           {Required("匹配索引", kInteger, kMatchIndexExplanation),
            Required("子表达式索引", kInteger, kSubExpressionIndexExplanation)})
      .Add("取子匹配数量", "GetSubMatchCount", kInteger, {});
  return ClassInfo{
      Gbk("正则_支持库"), "RegexObject", {Gbk("_销毁"), Gbk("_复制"), Gbk("_初始化")}, list.Take()};
}

}  // namespace

const std::vector<CategoryInfo>& CommandCategories() {
  static const std::vector<CategoryInfo> categories = {
      {1, Gbk("云文字")}, {2, Gbk("云人脸")}, {3, Gbk("云秘钥")}};
  return categories;
}

const std::vector<CommandInfo>& Commands() {
  static const std::vector<CommandInfo> commands = BuildCommands();
  return commands;
}

const std::vector<ClassInfo>& CommandClasses() {
  static const std::vector<ClassInfo> classes = {BuildJsonClass(), BuildRegexClass()};
  return classes;
}

const CommandInfo* FindCommand(const Text& name) {
  for (const CommandInfo& command : Commands()) {
    if (command.name == name || command.englishName == name) return &command;
  }
  return nullptr;
}

}  // namespace sorvanel
