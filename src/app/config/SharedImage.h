#pragma once
// An in-memory image of one state file (app.cfg, kabin.cfg, kassa.dat), shared between the
// engine thread (booths move counters and states) and the window thread (settings windows,
// the save timer).
//
// Sharing rule: one mutex per image guards both the bytes and the file's dirty flag. Every
// change runs under the lock, raises the flag and bumps a change counter. The save timer
// copies the image under the lock, writes the copy with no lock held, and then clears the
// flag only if the write succeeded and the counter is still the one it copied: a change made
// while the file was being written leaves the flag raised, so it is written again next time.

#include <cstdint>
#include <mutex>
#include <utility>

namespace miradel {

template <class Data>
class SharedImage {
  public:
    SharedImage() = default;
    explicit SharedImage(Data initial) : data_(std::move(initial)) {}
    SharedImage(const SharedImage&) = delete;
    SharedImage& operator=(const SharedImage&) = delete;

    // Runs fn(const Data&) under the lock and returns its result.
    template <class Fn>
    auto Read(Fn&& fn) const {
        std::lock_guard lock(mutex_);
        return fn(static_cast<const Data&>(data_));
    }

    // Runs fn(Data&) under the lock and raises the dirty flag.
    template <class Fn>
    auto Modify(Fn&& fn) {
        std::lock_guard lock(mutex_);
        ++version_;
        dirty_ = true;
        return fn(data_);
    }

    // Replaces the image without raising the flag: the image now mirrors its file.
    void Load(Data fresh) {
        std::lock_guard lock(mutex_);
        data_ = std::move(fresh);
        ++version_;
        dirty_ = false;
    }

    Data Copy() const {
        std::lock_guard lock(mutex_);
        return data_;
    }

    template <class Field>
    auto Get(const Field& field) const {
        std::lock_guard lock(mutex_);
        return data_.Get(field);
    }

    template <class Field, class Value>
    void Set(const Field& field, const Value& value) {
        std::lock_guard lock(mutex_);
        ++version_;
        dirty_ = true;
        data_.Set(field, value);
    }

    void MarkDirty() {
        std::lock_guard lock(mutex_);
        ++version_;
        dirty_ = true;
    }

    bool Dirty() const {
        std::lock_guard lock(mutex_);
        return dirty_;
    }

    // What the save timer writes: a consistent copy and the change counter it was taken at.
    struct SaveCopy {
        Data data;
        uint64_t version;
    };

    SaveCopy CopyForSave() const {
        std::lock_guard lock(mutex_);
        return {data_, version_};
    }

    // After a successful write of the copy taken at `version`.
    void MarkSaved(uint64_t version) {
        std::lock_guard lock(mutex_);
        if (version == version_) {
            dirty_ = false;
        }
    }

  private:
    mutable std::mutex mutex_;
    Data data_{};
    uint64_t version_ = 0;
    bool dirty_ = false;
};

}  // namespace miradel
