// Every text the program shows, in one place: the GBK bytes it uses, with the readable form beside
// them (UTF-8) so that a test can hold the two against the system's converter.
#pragma once

#include <string_view>

namespace qel {

struct UiText {
  std::string_view gbk;
  std::string_view readable;
};

// clang-format off
inline constexpr UiText kTextWindowCaption{"Qel", "Qel"};
inline constexpr UiText kTextPickPage{"\xC8\xA1\xC9\xAB", "取色"};  // page 0: pick colour
inline constexpr UiText kTextConvertPage{"\xD1\xD5\xC9\xAB\xD7\xAA\xBB\xBB", "颜色转换"};  // page 1: colour conversion
inline constexpr UiText kTextHandle{"\xBE\xE4\xB1\xFA", "句柄"};  // handle
inline constexpr UiText kTextX{"X", "X"};
inline constexpr UiText kTextY{"Y", "Y"};
inline constexpr UiText kTextHex{"HEX", "HEX"};
inline constexpr UiText kTextDecimal{"\xCA\xAE\xBD\xF8\xD6\xC6", "十进制"};  // decimal
inline constexpr UiText kTextR{"R", "R"};
inline constexpr UiText kTextG{"G", "G"};
inline constexpr UiText kTextB{"B", "B"};
inline constexpr UiText kText100{"100%", "100%"};
inline constexpr UiText kText125{"125%", "125%"};
inline constexpr UiText kText150{"150%", "150%"};
inline constexpr UiText kText175{"175%", "175%"};
inline constexpr UiText kTextRadio{"\xB5\xA5\xD1\xA1\xBF\xF2", "单选框"};  // radio button
inline constexpr UiText kTextStart{"\xBF\xAA\xCA\xBC(F2)", "开始(F2)"};  // start (F2)
inline constexpr UiText kTextStop{"\xCD\xA3\xD6\xB9(F2)", "停止(F2)"};  // stop (F2)
inline constexpr UiText kTextInput{"\xCA\xE4\xC8\xEB", "输入"};  // input
inline constexpr UiText kTextHexColon{"HEX:", "HEX:"};
inline constexpr UiText kTextDecimalColon{"\xCA\xAE\xBD\xF8\xD6\xC6:", "十进制:"};  // decimal:
inline constexpr UiText kTextOutput{"\xD7\xAA\xBB\xAF", "转化"};  // converted
inline constexpr UiText kTextHint{"\xCC\xE1\xCA\xBE: #HEX:#FFF00F  \xCA\xAE\xBD\xF8\xD6\xC6:84621114  RGB:250,250,255", "提示: #HEX:#FFF00F  十进制:84621114  RGB:250,250,255"};  // hint: the three input forms
inline constexpr UiText kTextGo{"Go", "Go"};
inline constexpr UiText kTextErrorTitle{"\xB4\xED\xCE\xF3", "错误"};  // error
inline constexpr UiText kTextRuntimeError{"\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!", "运行时出错!"};  // runtime error!
inline constexpr UiText kTextErrorCode{"\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB\xA3\xBA", "错误代码："};  // error code:
inline constexpr UiText kTextErrorMessage{"\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA", "错误信息："};  // error message:
inline constexpr UiText kTextWindowLoadFailed{"\xD4\xD8\xC8\xEB\xC6\xF4\xB6\xAF\xB4\xB0\xBF\xDA\xCA\xA7\xB0\xDC", "载入启动窗口失败"};  // failed to load the start-up window
inline constexpr UiText kTextAllocationFailedBefore{"\xB7\xD6\xC5\xE4 ", "分配 "};  // allocating ... (before the byte count)
inline constexpr UiText kTextAllocationFailedAfter{" \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!", " 字节内存失败!"};  // ... bytes of memory failed! (after the byte count)
// clang-format on

inline constexpr const UiText* kAllUiTexts[] = {
    &kTextWindowCaption,
    &kTextPickPage,
    &kTextConvertPage,
    &kTextHandle,
    &kTextX,
    &kTextY,
    &kTextHex,
    &kTextDecimal,
    &kTextR,
    &kTextG,
    &kTextB,
    &kText100,
    &kText125,
    &kText150,
    &kText175,
    &kTextRadio,
    &kTextStart,
    &kTextStop,
    &kTextInput,
    &kTextHexColon,
    &kTextDecimalColon,
    &kTextOutput,
    &kTextHint,
    &kTextGo,
    &kTextErrorTitle,
    &kTextRuntimeError,
    &kTextErrorCode,
    &kTextErrorMessage,
    &kTextWindowLoadFailed,
    &kTextAllocationFailedBefore,
    &kTextAllocationFailedAfter,
};

}  // namespace qel
