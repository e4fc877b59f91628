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
inline constexpr UiText kTextScaleBoxTitle{"\xC7\xEB\xD7\xD0\xCF\xB8\xD4\xC4\xB6\xC1\xCA\xB9\xD3\xC3\xCB\xB5\xC3\xF7", "请仔细阅读使用说明"};  // please read the instructions carefully
inline constexpr UiText kTextScaleBoxLine1{"\xC7\xEB\xCF\xC8\xD1\xA1\xD4\xF1\xC6\xC1\xC4\xBB\xCB\xF5\xB7\xC5\xB1\xC8\xC0\xFD\xA3\xAC\xB7\xF1\xD4\xF2\xBF\xC9\xC4\xDC\xB3\xF6\xCF\xD6\xC9\xAB\xD6\xB5\xC6\xAB\xD2\xC6\xA3\xA1", "请先选择屏幕缩放比例，否则可能出现色值偏移！"};  // choose the screen scaling first, or colours may come out shifted
inline constexpr UiText kTextScaleBoxLine2{"\xB3\xFDWin7\xB2\xBB\xCD\xAC\xC6\xE4\xCB\xFB\xB1\xC8\xC0\xFD\xCA\xC7\xB6\xE0\xC9\xD9\xBE\xCD\xD1\xA1\xD4\xF1\xB6\xE0\xC9\xD9\xA3\xA1", "除Win7不同其他比例是多少就选择多少！"};  // choose the system's own percentage, except on Windows 7
inline constexpr UiText kTextScaleBoxLine3{"\xB2\xE9\xBF\xB4\xB1\xBE\xBB\xFA\xC6\xC1\xC4\xBB\xCB\xF5\xB7\xC5\xB1\xC8\xC0\xFD\xB7\xBD\xB7\xA8\xC8\xE7\xCF\xC2", "查看本机屏幕缩放比例方法如下"};  // where to find this computer's scaling
inline constexpr UiText kTextScaleBoxLine4{"Win10\xA3\xBA\xD7\xC0\xC3\xE6-\xD3\xD2\xBC\xFC-\xCF\xD4\xCA\xBE\xC9\xE8\xD6\xC3", "Win10：桌面-右键-显示设置"};  // Windows 10: desktop, right click, display settings
inline constexpr UiText kTextScaleBoxLine5{"Win7\xA3\xBA\xD7\xC0\xC3\xE6-\xC6\xC1\xC4\xBB\xB7\xD6\xB1\xE6\xC2\xCA-\xB7\xC5\xB4\xF3\xBB\xF2\xCB\xF5\xD0\xA1\xCE\xC4\xB1\xBE\xBA\xCD\xC6\xE4\xCB\xFC\xCF\xEE\xC4\xBF", "Win7：桌面-屏幕分辨率-放大或缩小文本和其它项目"};  // Windows 7: desktop, screen resolution, larger or smaller text
inline constexpr UiText kTextScaleBoxLine6{"              1.\xC8\xE7\xB9\xFB\xCE\xAA" "125%\xC7\xEB\xD1\xA1\xD4\xF1" "100%", "              1.如果为125%请选择100%"};  //   1. for 125 % choose 100 %
inline constexpr UiText kTextScaleBoxLine7{"              2.\xC8\xE7\xB9\xFB\xCE\xAA" "150%\xC7\xEB\xD1\xA1\xD4\xF1" "125%", "              2.如果为150%请选择125%"};  //   2. for 150 % choose 125 %
inline constexpr UiText kTextScaleBoxLine8{"WinXP\xA3\xBA\xC4\xAC\xC8\xCF\xCE\xAA" "100%", "WinXP：默认为100%"};  // Windows XP: 100 % by default
inline constexpr UiText kTextMissingExportBefore{"\xCE\xDE\xB7\xA8\xD5\xD2\xB5\xBD\xD6\xB8\xB6\xA8" "DLL" "\xBF\xE2\xCE\xC4\xBC\xFE\xA1\xB0" "SkinH_EL.dll" "\xA1\xB1\xD6\xD0\xB5\xC4\xCA\xE4\xB3\xF6\xC3\xFC\xC1\xEE\xA1\xB0", "无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令“"};  // cannot find in the DLL file "SkinH_EL.dll" the export "... (before the export's name)
inline constexpr UiText kTextMissingExportAfter{"\xA1\xB1", "”"};  // ..." (after the export's name)
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
    &kTextScaleBoxTitle,
    &kTextScaleBoxLine1,
    &kTextScaleBoxLine2,
    &kTextScaleBoxLine3,
    &kTextScaleBoxLine4,
    &kTextScaleBoxLine5,
    &kTextScaleBoxLine6,
    &kTextScaleBoxLine7,
    &kTextScaleBoxLine8,
    &kTextMissingExportBefore,
    &kTextMissingExportAfter,
};

}  // namespace qel
