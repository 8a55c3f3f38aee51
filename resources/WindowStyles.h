#pragma once

#include <cstdint>

// Window, control and dialog style bits with the values the Windows templates carry, so a template here reads
// like its original and tests can assert the bits the window is built from.

namespace ravolin {

inline constexpr std::uint32_t WS_POPUP = 0x80000000u;
inline constexpr std::uint32_t WS_CHILD = 0x40000000u;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000u;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000u;
inline constexpr std::uint32_t WS_BORDER = 0x00800000u;
inline constexpr std::uint32_t WS_VSCROLL = 0x00200000u;
inline constexpr std::uint32_t WS_HSCROLL = 0x00100000u;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr std::uint32_t WS_GROUP = 0x00020000u;
inline constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000u;
inline constexpr std::uint32_t WS_TABSTOP = 0x00010000u;

inline constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000u;

inline constexpr std::uint32_t DS_SETFONT = 0x40u;
inline constexpr std::uint32_t DS_MODALFRAME = 0x80u;

inline constexpr std::uint32_t BS_PUSHBUTTON = 0x0u;
inline constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x1u;
inline constexpr std::uint32_t BS_AUTOCHECKBOX = 0x3u;
inline constexpr std::uint32_t BS_GROUPBOX = 0x7u;
inline constexpr std::uint32_t BS_TYPEMASK = 0xFu;
inline constexpr std::uint32_t BS_FLAT = 0x8000u;

inline constexpr std::uint32_t ES_LEFT = 0x0u;
inline constexpr std::uint32_t ES_MULTILINE = 0x4u;
inline constexpr std::uint32_t ES_AUTOVSCROLL = 0x40u;
inline constexpr std::uint32_t ES_AUTOHSCROLL = 0x80u;
inline constexpr std::uint32_t ES_NOHIDESEL = 0x100u;
inline constexpr std::uint32_t ES_READONLY = 0x800u;
inline constexpr std::uint32_t ES_WANTRETURN = 0x1000u;

inline constexpr std::uint32_t SS_LEFT = 0x0u;
inline constexpr std::uint32_t SS_ICON = 0x3u;
inline constexpr std::uint32_t SS_BLACKFRAME = 0x7u;
inline constexpr std::uint32_t SS_TYPEMASK = 0x1Fu;
inline constexpr std::uint32_t SS_NOPREFIX = 0x80u;
inline constexpr std::uint32_t SS_CENTERIMAGE = 0x200u;
inline constexpr std::uint32_t SS_SUNKEN = 0x1000u;

// Accelerator flags.
inline constexpr std::uint8_t FVIRTKEY = 0x01u;
inline constexpr std::uint8_t FNOINVERT = 0x02u;
inline constexpr std::uint8_t FSHIFT = 0x04u;
inline constexpr std::uint8_t FCONTROL = 0x08u;
inline constexpr std::uint8_t FALT = 0x10u;

// Virtual keys that are not the ASCII code of their letter or digit.
inline constexpr std::uint16_t VK_RETURN = 0x0D;
inline constexpr std::uint16_t VK_PRIOR = 0x21;  // Page Up
inline constexpr std::uint16_t VK_NEXT = 0x22;   // Page Down
inline constexpr std::uint16_t VK_F1 = 0x70;
inline constexpr std::uint16_t VK_F5 = 0x74;

}  // namespace ravolin
