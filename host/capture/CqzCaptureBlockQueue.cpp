#include "capture/CqzCaptureBlockQueue.h"

#include <algorithm>

CqzCaptureBlockQueue::CqzCaptureBlockQueue(std::size_t capacity, std::size_t blockBytes)
    : m_capacity(std::max<std::size_t>(capacity, 1)), m_blockBytes(blockBytes)
{
}

CqzCaptureBlockQueue::~CqzCaptureBlockQueue()
{
    Stop();
}

unsigned char* CqzCaptureBlockQueue::Room()
{
    if (m_room.size() == m_blockBytes)
        return m_room.data();
    // One reader: the room it waits for stays until it commits the block.
    std::unique_lock lock(m_mutex);
    m_emptied.wait(lock, [this] { return m_stopped || m_blocks.size() < m_capacity; });
    if (m_stopped)
        return nullptr;
    if (!m_spare.empty())
    {
        m_room = std::move(m_spare.back());
        m_spare.pop_back();
    }
    lock.unlock();
    m_room.resize(m_blockBytes);
    return m_room.data();
}

void CqzCaptureBlockQueue::Commit(std::size_t source, std::size_t size)
{
    SqzBlock block;
    block.source = source;
    block.bytes = std::move(m_room);
    block.size = size;
    m_room = {};
    {
        const std::lock_guard lock(m_mutex);
        m_blocks.push_back(std::move(block));
    }
    m_filled.notify_one();
}

void CqzCaptureBlockQueue::Finish(std::exception_ptr error)
{
    {
        const std::lock_guard lock(m_mutex);
        m_error = std::move(error);
        m_finished = true;
    }
    m_filled.notify_one();
}

const CqzCaptureBlockQueue::SqzBlock* CqzCaptureBlockQueue::Next()
{
    std::unique_lock lock(m_mutex);
    if (m_current.bytes.capacity() > 0)
        m_spare.push_back(std::move(m_current.bytes));
    m_current.bytes = {};
    m_filled.wait(lock, [this] { return m_finished || !m_blocks.empty(); });
    if (m_blocks.empty())
    {
        if (m_error)
            std::rethrow_exception(m_error);
        return nullptr;
    }
    m_current = std::move(m_blocks.front());
    m_blocks.pop_front();
    lock.unlock();
    m_emptied.notify_one();
    return &m_current;
}

void CqzCaptureBlockQueue::Stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_emptied.notify_all();
}
