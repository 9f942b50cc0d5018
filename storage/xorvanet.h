// TXOrvanet: the exception of the account-book storage.
//
// Every failure of the storage that the user must hear about is one of the
// codes below with its fixed French message. The application's handler
// decides what each code leads to (rebuild, conversion, forgetting the book).
//
// Thrown by value and caught by reference (never by pointer): the object owns
// its message, nothing has to be deleted by the catcher.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ledgora {

enum TOrvanetCode : std::int32_t {
  kOrvFileUnavailable = 20900,  // the working copy cannot be opened (for writing)
  kOrvLeftOpen = 20901,         // dirty flag set at opening: a crash inside a change
  kOrvNotABook = 20902,         // not an account book
  kOrvVersionTooOld = 20903,    // version below 2
  kOrvCannotCreate = 20904,     // a file cannot be created
  kOrvDamaged = 20905,          // damaged content: tags, chains, free slots, sizes
  kOrvRebuildFailed = 20906,    // the rebuild failed
  kOrvRebuildRestart = 20907,   // the rebuild's work files cannot be opened
  kOrvMustConvert = 20908,      // an older version: the book must be converted
  kOrvArchiveFailed = 20909,    // the archive failed
  kOrvNoPassword = 20910,       // the password dialog was cancelled
  kOrvVersionTooNew = 20911,    // a version above the program's
  kOrvKestrelDatabase = 20914,  // signature "LEDPRO"
  kOrvKestrelBook = 20915,      // signature "KPLXTRAI"
  kOrvAssociationBook = 20916,  // signature "ORVASS"
};

// The message of a code, with the file name put in where the text has "%s"
// and, for 20903, the book's version and the current version. A code
// without a message gives an empty text.
std::string OrvanetMessage(std::int32_t code, std::string_view file_name = {}, int version = 0,
                           int current_version = 0);

class TXOrvanet : public std::runtime_error {
 public:
  // file_name: the base name shown in the message (a path is cut to its
  // base name). system_error: the errno behind the failure, 0 when none.
  explicit TXOrvanet(std::int32_t code, std::string_view file_name = {}, int system_error = 0);
  // 20903 with the two version numbers.
  static TXOrvanet VersionTooOld(std::string_view file_name, int version, int current_version);

  std::int32_t Code() const { return code_; }
  // The French text shown to the user (UTF-8).
  const std::string& Message() const { return message_; }
  int SystemError() const { return system_error_; }

 private:
  struct TFormatted {};
  TXOrvanet(TFormatted, std::int32_t code, std::string message, int system_error);

  std::int32_t code_;
  std::string message_;
  int system_error_;
};

}  // namespace ledgora
