#pragma once
// 颜色选择器1's control: a drop-down of colour swatches with a transparent choice and a
// "more colours" entry that opens the system colour dialog. Its value is a colour value,
// 0x00BBGGRR, or kTransparentColour for the transparent choice.
#include <windows.h>

#include "recognition/core/types.hpp"

namespace tamblin::app {

inline constexpr char kColourChooserClass[] = "TamblinColourChooser";

// Messages of the control. GETCOLOUR returns the colour value; SETCOLOUR takes it in wParam.
inline constexpr UINT kColourChooserGetColour = WM_USER + 0x100;
inline constexpr UINT kColourChooserSetColour = WM_USER + 0x101;

// Registers the window class once per process; later calls do nothing.
void registerColourChooserClass(HINSTANCE instance);

// A visible chooser child of parent, holding initialColour.
HWND createColourChooser(HWND parent, int id, int left, int top, int width, int height,
                         Colour initialColour);

Colour colourChooserColour(HWND chooser);
void setColourChooserColour(HWND chooser, Colour colour);

// The drop-down inside the chooser, which holds the keyboard focus for it.
HWND colourChooserList(HWND chooser);

}  // namespace tamblin::app
