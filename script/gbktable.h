#pragma once

#include <QtGlobal>

/// Code page 936 as the programs carry it, made at build time from the GBK converter of the
/// building system (tools/gbktable): the same bytes in and out on every system.
namespace Gbk::Table {

constexpr int kFirstLead = 0x81;  ///< the first byte of a two-byte character: 0x81 to 0xFE
constexpr int kFirstTrail = 0x40; ///< its second byte: 0x40 to 0xFE
constexpr int kTrails = 0xFE - kFirstTrail + 1;

/// The character of each two-byte sequence, row by lead byte, column by trail byte; 0 for none.
extern const char16_t kPairs[(0xFE - kFirstLead + 1) * kTrails];
/// The character of each single byte from 0x80 on; 0 for none.
extern const char16_t kSingles[0x80];
/// The bytes of each character of the Basic Multilingual Plane from U+0080 on: one byte below
/// 0x100, else the lead byte times 256 plus the trail byte; 0 for none.
extern const quint16 kBytes[0x10000];

} // namespace Gbk::Table
