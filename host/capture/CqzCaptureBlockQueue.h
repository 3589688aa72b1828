#pragma once
// Blocks of bytes handed in order from a reading thread to the importer's thread, a few held
// at once: the reader reads each block straight into the room the queue gives it (waiting
// while the queue is full) and ends with Finish, the importer takes them with Next. An error
// that ended the reading comes out of Next after the blocks before it. Stop (or the queue's
// end) releases a reader that waits for room: Room answers null and the reader should end.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <vector>

class CqzCaptureBlockQueue
{
public:
    // A block (its first `size` bytes) and the number of the source (an entry of an archive)
    // it was read from.
    struct SqzBlock
    {
        std::size_t source = 0;
        std::vector<unsigned char> bytes;
        std::size_t size = 0;
    };

    // `capacity`: the blocks held at once (at least 1), of at most blockBytes each.
    CqzCaptureBlockQueue(std::size_t capacity, std::size_t blockBytes);
    ~CqzCaptureBlockQueue();
    CqzCaptureBlockQueue(const CqzCaptureBlockQueue&) = delete;
    CqzCaptureBlockQueue& operator=(const CqzCaptureBlockQueue&) = delete;

    std::size_t GetBlockBytes() const { return m_blockBytes; }
    // Reader: room for the next block (GetBlockBytes() bytes), the same until it is
    // committed; null once the importer stopped.
    unsigned char* Room();
    // Reader: the first size bytes of the room are the next block, read from `source`.
    void Commit(std::size_t source, std::size_t size);
    // Reader: no more blocks; `error` (may be null) is what ended them.
    void Finish(std::exception_ptr error);

    // Importer: the next block, valid until the next call; null after the last, or the
    // reader's error thrown.
    const SqzBlock* Next();
    // Importer: no more blocks are wanted.
    void Stop();

private:
    std::mutex m_mutex;
    std::condition_variable m_filled;
    std::condition_variable m_emptied;
    std::size_t m_capacity;
    std::size_t m_blockBytes;
    std::deque<SqzBlock> m_blocks;
    // The room the reader fills (not locked: the reader's own).
    std::vector<unsigned char> m_room;
    std::vector<std::vector<unsigned char>> m_spare;
    SqzBlock m_current;
    std::exception_ptr m_error;
    bool m_finished = false;
    bool m_stopped = false;
};
