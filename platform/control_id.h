// The names of the main window and of every control on it; the layout table gives each its place.
#pragma once

#include <cstdint>
#include <string_view>

namespace qel {

#define QEL_CONTROLS(X)                                                                            \
  X(MainWindow)                                                                                    \
  X(TabBox1)                                                                                       \
  X(GroupBox1)                                                                                     \
  X(GroupBox2)                                                                                     \
  X(GroupBox3)                                                                                     \
  X(Label1) X(Label2) X(Label3) X(Label4) X(Label5) X(Label6) X(Label7) X(Label8) X(Label9)        \
      X(Label10) X(Label11) X(Label12) X(Label13) X(Label14) X(Label15) X(Label16) X(Label17)      \
          X(Label18) X(Label19) X(Label20) X(Label21) X(Label22) X(Label23) X(Label24) X(EditBox1) \
              X(EditBox2) X(EditBox3) X(EditBox4) X(EditBox5) X(EditBox6) X(EditBox7) X(EditBox8)  \
                  X(EditBox9) X(EditBox10) X(EditBox11) X(EditBox12) X(EditBox13) X(EditBox14)     \
                      X(EditBox15) X(EditBox16) X(EditBox17) X(EditBox18) X(Button1) X(Button2)    \
                          X(RadioBox1) X(RadioBox2) X(RadioBox3) X(RadioBox4) X(DrawPanel1)        \
                              X(DrawPanel2) X(ColorPicker1) X(Timer1) X(Timer2)

enum class ControlId : std::uint8_t {
#define QEL_CONTROL_ENUM(name) name,
  QEL_CONTROLS(QEL_CONTROL_ENUM)
#undef QEL_CONTROL_ENUM
};

inline constexpr std::string_view kControlNames[] = {
#define QEL_CONTROL_NAME(name) #name,
    QEL_CONTROLS(QEL_CONTROL_NAME)
#undef QEL_CONTROL_NAME
};

inline constexpr std::size_t kControlCount = std::size(kControlNames);

constexpr std::string_view ControlName(ControlId id) {
  return kControlNames[static_cast<std::size_t>(id)];
}

}  // namespace qel
