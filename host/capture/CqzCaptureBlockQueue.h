#pragma once
// Blocks of bytes handed in order from a reading thread to the importer's thread, a few held
// at once: the reader copies each block in (waiting while the queue is full) and ends with
// Finish, the importer takes them with Next. An error that ended the reading comes out of
// Next after the blocks before it. Stop (or the queue's end) releases a reader that waits for
// room: its Push answers false and it should end.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <vector>

class CqzCaptureBlockQueue
{
public:
    // A block and the number of the source (an entry of an archive) it was read from.
    struct SqzBlock
    {
        std::size_t source = 0;
        std::vector<unsigned char> bytes;
    };

    // `capacity`: the blocks held at once (at least 1).
    explicit CqzCaptureBlockQueue(std::size_t capacity);
    ~CqzCaptureBlockQueue();
    CqzCaptureBlockQueue(const CqzCaptureBlockQueue&) = delete;
    CqzCaptureBlockQueue& operator=(const CqzCaptureBlockQueue&) = delete;

    // Reader: copies size bytes in as the next block; false once the importer stopped.
    bool Push(std::size_t source, const unsigned char* bytes, std::size_t size);
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
    std::deque<SqzBlock> m_blocks;
    std::vector<std::vector<unsigned char>> m_spare;
    SqzBlock m_current;
    std::exception_ptr m_error;
    bool m_finished = false;
    bool m_stopped = false;
};
