// TRecordList and TRecordNode: the records of one chain in memory.
//
// A list is doubly linked, in the chain's order; it owns its nodes and each
// node owns its record. A node also holds the record's file offset, which
// never changes while the record lives: a record never moves in the file.
//
// The list knows who holds its head in the file (its owner): the book
// header for a top-level list (owner null), else the record that owns the
// chain (the account of an operation chain, the operation of a split-line
// chain, the parent of a sub-category chain). Such a list is held by its
// owner record (TChildList), a category's sub-categories included.
//
// Keyed lists (operations, accounts, categories, associations, projects,
// situation values) also keep their nodes in a vector in list order, so that
// the place of a new record is found by binary search instead of walking the
// chain. The search gives the very place the walk would give as long as the
// list is sorted; a list that is not (a chain written out of order by some
// other program, an amount that is not a number) is walked, exactly as the
// rule says.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "storage/record.h"

namespace ledgora {

class TRecordList;

class TRecordNode {
 public:
  TRecordNode* Next() const { return next_; }
  TRecordNode* Previous() const { return prev_; }
  TRecord& Record() const { return *record_; }
  template <class T>
  T& As() const {
    return static_cast<T&>(*record_);
  }
  std::uint32_t Offset() const { return offset_; }
  TRecordList& List() const { return *list_; }

 private:
  friend class TRecordList;
  TRecordNode* next_ = nullptr;
  TRecordNode* prev_ = nullptr;
  std::unique_ptr<TRecord> record_;
  TRecordList* list_ = nullptr;
  std::uint32_t offset_ = 0;
};

class TRecordList {
 public:
  // owner: the record whose field (or frame) holds the head; null for the
  // lists whose head is in the book header.
  explicit TRecordList(TRecordType type, TRecord* owner = nullptr);
  ~TRecordList();
  TRecordList(const TRecordList&) = delete;
  TRecordList& operator=(const TRecordList&) = delete;

  TRecordType Type() const { return type_; }
  TRecord* Owner() const { return owner_; }
  TRecordNode* Head() const { return head_; }
  TRecordNode* Tail() const { return tail_; }
  std::size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  // The file offset of the first record, 0 when the list is empty.
  std::uint32_t HeadOffset() const { return head_ ? head_->Offset() : 0; }
  // The file offset of the record after node in the list, 0 at the end.
  static std::uint32_t NextOffset(const TRecordNode& node) {
    return node.next_ ? node.next_->offset_ : 0;
  }

  // The first record with this identifier, or null.
  TRecordNode* FindById(std::uint32_t id) const;

  // Where a record belongs in the order: after `after` (null: as the head);
  // `index` is its position in the list.
  struct TPlace {
    TRecordNode* after = nullptr;
    std::size_t index = 0;
  };
  TPlace PlaceOf(const TRecord& record) const;

  // Links record at a place found by PlaceOf (nothing changed since).
  TRecordNode& Insert(const TPlace& place, std::unique_ptr<TRecord> record, std::uint32_t offset);
  // Links record at the end, whatever the order (loading a chain).
  TRecordNode& Append(std::unique_ptr<TRecord> record, std::uint32_t offset);
  // Unlinks node and frees it; returns its record.
  std::unique_ptr<TRecord> Remove(TRecordNode& node);
  // Takes a linked node whose record changed out of the list and links it
  // again at the place of its record (Modify). Returns the neighbours it had
  // before; node.Previous() is the new predecessor.
  struct TOldNeighbours {
    TRecordNode* previous = nullptr;
    TRecordNode* next = nullptr;
  };
  TOldNeighbours Reposition(TRecordNode& node);
  void Clear();

  // Whether the place of a new record is found by binary search.
  bool Searchable() const { return searchable_; }

  // Ordered traversal of the records as T.
  template <class T>
  class TRange {
   public:
    class iterator {
     public:
      using iterator_category = std::forward_iterator_tag;
      using value_type = T;
      using difference_type = std::ptrdiff_t;
      using pointer = T*;
      using reference = T&;
      explicit iterator(TRecordNode* n = nullptr) : n_(n) {}
      T& operator*() const { return n_->As<T>(); }
      T* operator->() const { return &n_->As<T>(); }
      iterator& operator++() {
        n_ = n_->Next();
        return *this;
      }
      iterator operator++(int) {
        iterator old = *this;
        n_ = n_->Next();
        return old;
      }
      bool operator==(const iterator& o) const { return n_ == o.n_; }

     private:
      TRecordNode* n_;
    };
    explicit TRange(TRecordNode* head) : head_(head) {}
    iterator begin() const { return iterator(head_); }
    iterator end() const { return iterator(); }

   private:
    TRecordNode* head_;
  };
  template <class T>
  TRange<T> Records() const {
    return TRange<T>(head_);
  }

 private:
  void Link(TRecordNode* node, TRecordNode* after);
  void Unlink(TRecordNode* node);
  std::size_t IndexOfNode(const TRecordNode* node) const;
  std::optional<std::size_t> Locate(const TRecordNode* node) const;
  void DropIndex();
  // Keeps searchable_ true only while the neighbours of node are in order.
  void CheckOrderAround(const TRecordNode* node);

  TRecordType type_;
  TRecord* owner_;
  TRecordNode* head_ = nullptr;
  TRecordNode* tail_ = nullptr;
  std::size_t size_ = 0;
  bool keyed_ = false;
  bool searchable_ = false;
  std::vector<TRecordNode*> order_;  // keyed and searchable lists: the nodes in list order
};

// A list held by a record (the operations of an account, the lines of a
// split, the sub-categories of a category), made when first asked for. A
// copy of the record does not take the list along.
class TChildList {
 public:
  TChildList() = default;
  TChildList(const TChildList&) {}
  TChildList& operator=(const TChildList&) { return *this; }
  TChildList(TChildList&&) = delete;

  bool Exists() const { return list_ != nullptr; }
  TRecordList* Get() const { return list_.get(); }
  // Made on first use, also through a const owner.
  TRecordList& Make(TRecordType type, const TRecord* owner) const {
    if (!list_) list_ = std::make_unique<TRecordList>(type, const_cast<TRecord*>(owner));
    return *list_;
  }
  void Drop() { list_.reset(); }

 private:
  mutable std::unique_ptr<TRecordList> list_;
};

}  // namespace ledgora
