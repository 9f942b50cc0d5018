#include "storage/record.h"

namespace ledgora {

char TagOf(TRecordType type) {
  static constexpr char kTags[kRecordTypeCount] = {'C', 'G', 'O', 'S', 'F', 'A', 'P', 'V', 'J'};
  return kTags[IndexOf(type)];
}

std::optional<TRecordType> TypeOfTag(char tag) {
  for (std::size_t i = 0; i < kRecordTypeCount; ++i) {
    const auto type = static_cast<TRecordType>(i);
    if (TagOf(type) == tag) return type;
  }
  return std::nullopt;
}

TListOrder ListOrderOf(TRecordType type) {
  switch (type) {
    case TRecordType::SplitLine:
      return TListOrder::Last;
    case TRecordType::Periodic:
      return TListOrder::First;
    case TRecordType::SituationAccount:
      return TListOrder::Walk;
    default:
      return TListOrder::Keyed;
  }
}

std::size_t FrameSize(TRecordType type) {
  return type == TRecordType::Category ? 11 : 7;
}

std::size_t RecordSize(TRecordType type, int version) {
  const int v = EffectiveVersion(version);
  switch (type) {
    case TRecordType::Account:
      if (v <= 3) return 180;
      if (v <= 9) return 184;
      if (v <= 16) return 186;
      if (v <= 18) return 201;
      return 203;
    case TRecordType::Operation:
      if (v <= 6) return 103;
      if (v <= 8) return 107;
      if (v <= 14) return 111;
      if (v == 15) return 107;
      if (v <= 20) return 158;
      if (v == 21) return 184;
      if (v <= 23) return 195;
      return 201;
    case TRecordType::Category:
      return v <= 12 ? 62 : 158;
    case TRecordType::SplitLine:
      return 78;
    case TRecordType::Periodic:
      return v <= 2 ? 28 : 30;
    case TRecordType::Association:
      return v <= 14 ? 46 : 66;
    case TRecordType::SituationAccount:
      return v <= 17 ? 126 : 157;
    case TRecordType::SituationValue:
      return 50;
    case TRecordType::Project:
      return 64;
  }
  return 0;
}

std::size_t PayloadSize(TRecordType type, int version) {
  return RecordSize(type, version) - FrameSize(type);
}

}  // namespace ledgora
