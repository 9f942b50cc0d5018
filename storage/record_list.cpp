#include "storage/record_list.h"

#include <algorithm>

namespace ledgora {

TRecordList::TRecordList(TRecordType type, TRecord* owner)
    : type_(type),
      owner_(owner),
      keyed_(ListOrderOf(type) == TListOrder::Keyed),
      searchable_(keyed_) {}

TRecordList::~TRecordList() {
  Clear();
}

void TRecordList::Clear() {
  // Iteratively: a chain of a hundred thousand nodes must not recurse.
  TRecordNode* n = head_;
  while (n) {
    TRecordNode* next = n->next_;
    n->record_->node_ = nullptr;
    delete n;
    n = next;
  }
  head_ = tail_ = nullptr;
  size_ = 0;
  order_.clear();
  searchable_ = keyed_;
}

TRecordNode* TRecordList::FindById(std::uint32_t id) const {
  for (TRecordNode* n = head_; n; n = n->next_) {
    if (n->record_->id == id) return n;
  }
  return nullptr;
}

TRecordList::TPlace TRecordList::PlaceOf(const TRecord& record) const {
  if (size_ == 0) return {};
  switch (ListOrderOf(type_)) {
    case TListOrder::Last:
      return {tail_, size_};
    case TListOrder::First:
      return {};
    case TListOrder::Keyed:
      if (searchable_) {
        // The records that precede the new one form the start of a sorted
        // list: its end is the first record the walk would stop at.
        const auto it = std::partition_point(order_.begin(), order_.end(), [&](TRecordNode* n) {
          return n->record_->Precedes(record);
        });
        const auto index = static_cast<std::size_t>(it - order_.begin());
        return {index > 0 ? order_[index - 1] : nullptr, index};
      }
      break;
    case TListOrder::Walk:
      break;
  }
  TPlace place;
  for (TRecordNode* n = head_; n && n->record_->Precedes(record); n = n->next_) {
    place.after = n;
    ++place.index;
  }
  return place;
}

void TRecordList::Link(TRecordNode* node, TRecordNode* after) {
  node->list_ = this;
  node->prev_ = after;
  node->next_ = after ? after->next_ : head_;
  if (node->next_) {
    node->next_->prev_ = node;
  } else {
    tail_ = node;
  }
  if (after) {
    after->next_ = node;
  } else {
    head_ = node;
  }
  ++size_;
}

void TRecordList::Unlink(TRecordNode* node) {
  if (node->prev_) {
    node->prev_->next_ = node->next_;
  } else {
    head_ = node->next_;
  }
  if (node->next_) {
    node->next_->prev_ = node->prev_;
  } else {
    tail_ = node->prev_;
  }
  node->prev_ = node->next_ = nullptr;
  --size_;
}

void TRecordList::DropIndex() {
  searchable_ = false;
  order_.clear();
  order_.shrink_to_fit();
}

void TRecordList::CheckOrderAround(const TRecordNode* node) {
  const TRecord& r = *node->record_;
  if (!r.Orderable() || (node->prev_ && node->prev_->record_->OrderKey(r) > 0) ||
      (node->next_ && r.OrderKey(*node->next_->record_) > 0)) {
    DropIndex();
  }
}

TRecordNode& TRecordList::Insert(const TPlace& place, std::unique_ptr<TRecord> record,
                                 std::uint32_t offset) {
  auto* node = new TRecordNode;
  node->record_ = std::move(record);
  node->record_->node_ = node;
  node->offset_ = offset;
  Link(node, place.after);
  if (searchable_) {
    order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(place.index), node);
    CheckOrderAround(node);
  }
  return *node;
}

TRecordNode& TRecordList::Append(std::unique_ptr<TRecord> record, std::uint32_t offset) {
  return Insert({tail_, size_}, std::move(record), offset);
}

std::optional<std::size_t> TRecordList::Locate(const TRecordNode* node) const {
  const TRecord& key = *node->record_;
  auto it = std::lower_bound(
      order_.begin(), order_.end(), &key,
      [](TRecordNode* n, const TRecord* k) { return n->record_->OrderKey(*k) < 0; });
  for (; it != order_.end() && (*it)->record_->OrderKey(key) == 0; ++it) {
    if (*it == node) return static_cast<std::size_t>(it - order_.begin());
  }
  return std::nullopt;
}

std::size_t TRecordList::IndexOfNode(const TRecordNode* node) const {
  if (auto i = Locate(node)) return *i;
  // The record's key may have changed (Modify): its predecessor's has not.
  if (!node->prev_) {
    if (!order_.empty() && order_[0] == node) return 0;
  } else if (auto i = Locate(node->prev_); i && *i + 1 < order_.size() && order_[*i + 1] == node) {
    return *i + 1;
  }
  return static_cast<std::size_t>(std::find(order_.begin(), order_.end(), node) - order_.begin());
}

std::unique_ptr<TRecord> TRecordList::Remove(TRecordNode& node) {
  if (searchable_) {
    order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(IndexOfNode(&node)));
  }
  Unlink(&node);
  std::unique_ptr<TRecord> record = std::move(node.record_);
  record->node_ = nullptr;
  delete &node;
  return record;
}

TRecordList::TOldNeighbours TRecordList::Reposition(TRecordNode& node) {
  const TOldNeighbours old{node.prev_, node.next_};
  if (searchable_) {
    order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(IndexOfNode(&node)));
  }
  Unlink(&node);
  const TPlace place = PlaceOf(*node.record_);
  Link(&node, place.after);
  if (searchable_) {
    order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(place.index), &node);
    CheckOrderAround(&node);
  }
  return old;
}

}  // namespace ledgora
