#include "db_error.h"

#include <cerrno>

namespace tilmor::dbase {

void DbError::Set(int number, std::string_view detail) {
  number_ = number & 0xFFFF;
  text_.clear();
  if (!detail.empty()) {
    text_ = ": ";
    text_ += detail;
  }
  if (text_.size() > 255) text_.resize(255);
}

ErrorMessage MessageFor(int number, const std::string& text) {
  switch (number) {
    case 0: return {0, ""};
    case 2:
    case 3:
    case kErrDefinitionFile: return {601, text};
    case kErrRange:
    case kErrNumericKey: return {608, text};
    case kErrFormula: return {611, text};
    case kErrFieldRead: return {612, text};
    case kErrFieldNumberRead: return {613, text};
    case kErrFieldWrite: return {614, text};
    case kErrFieldNumberWrite: return {615, text};
    case kErrDuplicateField: return {602, text};
    case kErrFieldLength: return {603, text};
    case kErrDecimals: return {604, text};
    case kErrIndexFile: return {605, text};
    case kErrIndexField: return {606, text};
    default: {
      std::string extra = std::to_string(number) + " " + text;
      if (extra.size() > 255) extra.resize(255);
      return {600, extra};
    }
  }
}

int SystemErrorCode(int err) {
  switch (err) {
    case ENOENT: return 2;
    case ENOTDIR:
    case ENAMETOOLONG: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EISDIR:
    case ETXTBSY: return 5;
    case EBADF: return 6;
    case ENOMEM: return 8;
    case EROFS: return 19;
    case EIO: return 30;
    case EEXIST: return 80;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return 112;
    default: return 31;
  }
}

}  // namespace tilmor::dbase
