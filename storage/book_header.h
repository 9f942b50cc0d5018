// The book header: settings, counters, free lists and chain heads.
//
// Version 24 (468 bytes, at offset 0 of the file):
//
//   offset  width    field                                                   since  default
//   0       u32      dirty flag: 1 while a write phase is open               2      0
//   4       9        signature "LEDGOR"                                      2
//   13      u8       version                                                 2      24
//   14      u32      password flag                                           11     0
//   18      9        password, scrambled with the constant table             11     empty
//   27      u32      confirm removing the oldest financial situation         18     1
//   31      u32      confirm deleting an operation                           2      1
//   35      u32      confirm deleting a pointed operation                    2      1
//   39      u32      warn before changing a pointed operation                2      1
//   43      u32      confirm creating each periodic operation                3      1
//   47      u32      default date of a new operation (0 or 1)                5      1
//   51      u32      reserved setting                                        5      0
//   55      u32      setting set to 1 by the reset of the options            5      1
//   59      4 x u32  colours (0x00BBGGRR): current, card, deposit, window     9      see below
//   75      u32      assign categories from the associations on download     15     1
//   79      u32      duplicate confirmation: 0 all, 1 probable, 2 none       22     1
//   83      5 x u32  grade of the five duplicate rules                       22     0 1 1 2 2
//   103     3 x u16  date tolerance of the first three duplicate rules       22     0 0 0
//   109     u16      maximum number of financial situations                  18     30
//   111     u16      backup reminder countdown                               7      10
//   113     257      path of the last backup copy                            7      empty
//   370     u16      days ahead for creating periodic operations             3      5
//   372     9 x u32  identifier counters C G O S F A P V J                   6 (J 24)  0
//   408     9 x u32  free-list heads, same order; 0 = empty                  6 (J 24)  0
//   444     u32      head of the accounts ('C')                              2      0
//   448     u32      head of the top-level categories ('G')                  2      0
//   452     u32      head of the associations ('A')                          2      0
//   456     u32      head of the situation accounts ('P')                    2      0
//   460     u32      head of the situation values ('V')                      2      0
//   464     u32      head of the projects ('J')                              24     0
//
// A header of an older version holds only the fields of its version, in the
// same order, closed up; the missing ones keep their defaults. The "since"
// column is this program's reading of the older layouts (their settings
// appeared with the features that use them): version 23 is 456 bytes, 11 to
// 22 hold no duplicate settings, 10 and below no password.
//
// Default colours (red-green-blue): 255-255-157, 190-244-207, 198-235-255 and
// white for the window. A backup path ending in ".old" reads back with
// ".SAV.VX" in its place.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "storage/record.h"

namespace ledgora {

inline constexpr std::size_t kHeaderSize = 468;
inline constexpr std::size_t kBackupPathWidth = 257;
inline constexpr std::string_view kBookSignature = "LEDGOR";

// The chain heads held in the header, in their order there.
enum class THeaderList : std::uint8_t {
  Accounts,
  Categories,
  Associations,
  SituationAccounts,
  SituationValues,
  Projects,
};
inline constexpr std::size_t kHeaderListCount = 6;

// The colour of a red-green-blue triple as stored (0x00BBGGRR).
inline constexpr std::uint32_t Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 |
         static_cast<std::uint32_t>(b) << 16;
}

// The settings of a book, with the defaults of a new book.
struct TBookSettings {
  std::uint32_t confirm_remove_oldest_situation = 1;
  std::uint32_t confirm_delete_operation = 1;
  std::uint32_t confirm_delete_pointed = 1;
  std::uint32_t warn_change_pointed = 1;
  std::uint32_t confirm_periodic_creation = 1;
  std::uint32_t default_date = 1;
  std::uint32_t reserved_setting = 0;
  std::uint32_t reset_setting = 1;
  std::array<std::uint32_t, 4> colours = {Rgb(255, 255, 157), Rgb(190, 244, 207),
                                          Rgb(198, 235, 255), Rgb(255, 255, 255)};
  std::uint32_t assign_categories = 1;
  std::uint32_t duplicate_confirmation = 1;
  std::array<std::uint32_t, 5> duplicate_grades = {0, 1, 1, 2, 2};
  std::array<std::uint16_t, 3> duplicate_tolerances = {0, 0, 0};
  std::uint16_t max_situations = 30;
  std::uint16_t backup_countdown = 10;
  std::string backup_path;  // UTF-8, at most 256 characters on disk
  std::uint16_t periodic_days_ahead = 5;

  bool operator==(const TBookSettings&) const = default;
};

struct TBookHeader {
  std::uint32_t dirty = 0;
  std::string signature{kBookSignature};
  std::uint8_t version = kCurrentVersion;
  std::uint32_t password_flag = 0;
  std::string password;  // plain, UTF-8
  TBookSettings settings;
  std::array<std::uint32_t, kRecordTypeCount> counters{};
  std::array<std::uint32_t, kRecordTypeCount> free_heads{};
  std::array<std::uint32_t, kHeaderListCount> list_heads{};

  bool operator==(const TBookHeader&) const = default;
};

// The size of the header of a version (2 to 24).
std::size_t HeaderSize(int version);

// Reads a header of the given version from at least HeaderSize(version)
// bytes. Fields the version lacks keep the defaults of TBookHeader.
TBookHeader DecodeHeader(const std::uint8_t* data, int version);

// The 468 bytes of a header in the current format, with the signature
// "LEDGOR" and version 24 whatever the header holds.
std::array<std::uint8_t, kHeaderSize> EncodeHeader(const TBookHeader& header);

}  // namespace ledgora
