#pragma once
// Form2's design: its caption, its client area and its eighteen controls in
// tab order. Twips, relative to the container.

#include <array>

#include "toolkit/window_layout.h"

namespace ui {
namespace form2_layout {

using toolkit::ButtonRole;
using toolkit::Control;
using toolkit::ControlKind;
using toolkit::ControlLayout;
using toolkit::Cursor;
using toolkit::FontRole;

inline constexpr std::array<ControlLayout, 18> kForm2Controls{{
    // control          kind                       container        left  top   width height tab caption                              font
    {Control::Frame1,   ControlKind::Frame,        std::nullopt,    120,  120,  3255, 1815,  0, "输入速度n1已知：",                  FontRole::Window},
    {Control::Option1,  ControlKind::OptionButton, Control::Frame1, 120,  240,  1695, 495,   1, "转速（转/分钟）",                   FontRole::Window},
    {Control::Option2,  ControlKind::OptionButton, Control::Frame1, 120,  720,  1935, 495,   2, "转速（弧度/秒）",                   FontRole::Window},
    {Control::Option3,  ControlKind::OptionButton, Control::Frame1, 120,  1200, 3015, 495,   3, "线速度（米/秒）及直径（毫米）",     FontRole::Window},
    {Control::Frame2,   ControlKind::Frame,        std::nullopt,    3480, 120,  3255, 1815,  4, "输出速度n2已知：",                  FontRole::Window},
    {Control::Option4,  ControlKind::OptionButton, Control::Frame2, 120,  240,  2175, 495,   5, "转速（转/分钟）",                   FontRole::Window},
    {Control::Option5,  ControlKind::OptionButton, Control::Frame2, 120,  720,  2295, 495,   6, "转速（弧度/秒）",                   FontRole::Window},
    {Control::Option6,  ControlKind::OptionButton, Control::Frame2, 120,  1200, 3015, 495,   7, "线速度（米/秒）及直径（毫米）",     FontRole::Window},
    {Control::Label1,   ControlKind::Label,        std::nullopt,    840,  2160, 3255, 255,   8, "输入速度v（米/秒）：",              FontRole::Label, ButtonRole::None, Cursor::Arrow, Control::Text1},
    {Control::Label2,   ControlKind::Label,        std::nullopt,    840,  2640, 3375, 255,   9, "输出速度v（米/秒）：",              FontRole::Label, ButtonRole::None, Cursor::Arrow, Control::Text3},
    {Control::Label3,   ControlKind::Label,        std::nullopt,    840,  3600, 3375, 255,  10, "输出速度转轴直径（毫米）：",        FontRole::Label, ButtonRole::None, Cursor::Arrow, Control::Text4},
    {Control::Text1,    ControlKind::TextBox,      std::nullopt,    4455, 2100, 1215, 375,  11, "",                                  FontRole::Field},
    {Control::Text2,    ControlKind::TextBox,      std::nullopt,    4455, 3032, 1215, 375,  12, "",                                  FontRole::Field},
    {Control::Text3,    ControlKind::TextBox,      std::nullopt,    4455, 2566, 1215, 375,  13, "",                                  FontRole::Field},
    {Control::Command1, ControlKind::PushButton,   std::nullopt,    1560, 4080, 975,  375,  14, "确 定",                             FontRole::Field, ButtonRole::Default, Cursor::PointingHand},
    {Control::Command2, ControlKind::PushButton,   std::nullopt,    4080, 4080, 975,  375,  15, "退 出",                             FontRole::Field, ButtonRole::Cancel,  Cursor::PointingHand},
    {Control::Label4,   ControlKind::Label,        std::nullopt,    840,  3120, 3375, 255,  16, "输入速度转轴直径（毫米）：",        FontRole::Label, ButtonRole::None, Cursor::Arrow, Control::Text2},
    {Control::Text4,    ControlKind::TextBox,      std::nullopt,    4455, 3500, 1215, 375,  17, "",                                  FontRole::Field},
}};

}  // namespace form2_layout

using form2_layout::kForm2Controls;

// 宋体 in normal weight with the GB2312 character set: 9.75 points (13 pixels
// at 96 dpi) for the labels, 11.25 points (15 pixels) for the text boxes and
// the push buttons.
inline constexpr toolkit::FontSpec kLabelFont{"宋体", 9.75, 400, 134};
inline constexpr toolkit::FontSpec kFieldFont{"宋体", 11.25, 400, 134};

inline constexpr toolkit::WindowLayout kForm2Layout{
    "传动比计算（作者：Velnor）", 6855, 4605, kForm2Controls, "transmission-ratio.ico",
    kLabelFont, kFieldFont};

}  // namespace ui
