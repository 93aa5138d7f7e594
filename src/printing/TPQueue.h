#pragma once
// A first-in first-out queue of heap records linked through their own `next` field. The queue
// owns what it holds: push hands a record over, pop hands it back. It allocates nothing and
// takes no lock; whoever shares one between threads guards it.
//
// An entry type T carries a member `QueueLink<T> next;`. Copying a T never copies its link,
// so a copy of a queued record is a loose record that belongs to nobody's queue.

#include <cstddef>
#include <memory>
#include <utility>

namespace miradel {

template <class T>
class QueueLink {
  public:
    QueueLink() = default;
    QueueLink(const QueueLink&) {}
    QueueLink& operator=(const QueueLink&) { return *this; }

  private:
    template <class>
    friend class TPQueue;
    T* next_ = nullptr;
};

template <class T>
class TPQueue {
  public:
    TPQueue() = default;
    TPQueue(const TPQueue&) = delete;
    TPQueue& operator=(const TPQueue&) = delete;
    TPQueue(TPQueue&& other) noexcept { Swap(other); }
    TPQueue& operator=(TPQueue&& other) noexcept {
        if (this != &other) {
            Clear();
            Swap(other);
        }
        return *this;
    }
    ~TPQueue() { Clear(); }

    // Appends at the tail; a null record is ignored.
    void Push(std::unique_ptr<T> record) {
        if (!record) {
            return;
        }
        T* raw = record.release();
        raw->next.next_ = nullptr;
        if (tail_) {
            tail_->next.next_ = raw;
        } else {
            head_ = raw;
        }
        tail_ = raw;
        ++size_;
    }

    // Puts a record back at the head, to be popped first.
    void PushFront(std::unique_ptr<T> record) {
        if (!record) {
            return;
        }
        T* raw = record.release();
        raw->next.next_ = head_;
        head_ = raw;
        if (!tail_) {
            tail_ = raw;
        }
        ++size_;
    }

    // Moves every record of `other` behind the tail, in their order; `other` ends empty.
    void Append(TPQueue&& other) {
        if (other.head_ == nullptr || &other == this) {
            return;
        }
        if (tail_) {
            tail_->next.next_ = other.head_;
        } else {
            head_ = other.head_;
        }
        tail_ = other.tail_;
        size_ += other.size_;
        other.head_ = other.tail_ = nullptr;
        other.size_ = 0;
    }

    // Moves every record of `other` in front of the head, in their order; `other` ends empty.
    void Prepend(TPQueue&& other) {
        other.Append(std::move(*this));
        Swap(other);
    }

    // The head record, or null when the queue is empty.
    std::unique_ptr<T> Pop() {
        T* raw = head_;
        if (!raw) {
            return nullptr;
        }
        head_ = raw->next.next_;
        if (!head_) {
            tail_ = nullptr;
        }
        raw->next.next_ = nullptr;
        --size_;
        return std::unique_ptr<T>(raw);
    }

    bool Empty() const { return head_ == nullptr; }
    std::size_t Size() const { return size_; }

    void Clear() {
        while (head_) {
            T* raw = head_;
            head_ = raw->next.next_;
            delete raw;
        }
        tail_ = nullptr;
        size_ = 0;
    }

    // Visits the records from head to tail without taking them.
    template <class Fn>
    void ForEach(Fn&& fn) const {
        for (const T* at = head_; at; at = at->next.next_) {
            fn(*at);
        }
    }

  private:
    void Swap(TPQueue& other) noexcept {
        std::swap(head_, other.head_);
        std::swap(tail_, other.tail_);
        std::swap(size_, other.size_);
    }

    T* head_ = nullptr;
    T* tail_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace miradel
