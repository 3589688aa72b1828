#pragma once
// The pieces of an import that the workers read ahead of the join, in order. `Source` hands
// out the pieces (bool Next(Piece&), false at the end); each Piece has `std::size_t index`
// (its place, set here) and `std::future<void> done`. A piece is recycled once the next one
// is asked for. Destroying the window waits for the pieces the workers still read (their
// memory goes with it).

#include "capture/CqzCaptureWorkers.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

template <typename Piece, typename Source> class CqzCapturePieceWindow
{
public:
    CqzCapturePieceWindow(CqzCaptureWorkers& workers, Source& source, std::size_t ahead,
                          std::function<void(Piece&)> work)
        : m_workers(workers), m_source(source), m_ahead(ahead), m_work(std::move(work))
    {
    }
    ~CqzCapturePieceWindow()
    {
        for (auto& piece : m_window)
            if (piece->done.valid())
                piece->done.wait();
    }
    CqzCapturePieceWindow(const CqzCapturePieceWindow&) = delete;
    CqzCapturePieceWindow& operator=(const CqzCapturePieceWindow&) = delete;

    // The next piece once its worker is done (rethrowing what the work threw), with more
    // pieces handed to the workers; null at the end.
    Piece* Next()
    {
        if (m_current)
            m_free.push_back(std::move(m_current));
        while (m_window.size() < m_ahead)
        {
            std::unique_ptr<Piece> piece;
            if (m_free.empty())
                piece = std::make_unique<Piece>();
            else
            {
                piece = std::move(m_free.back());
                m_free.pop_back();
            }
            if (!m_source.Next(*piece))
                break;
            Piece* p = piece.get();
            p->index = m_handed++;
            p->done = m_workers.Run([this, p] { m_work(*p); });
            m_window.push_back(std::move(piece));
        }
        if (m_window.empty())
            return nullptr;
        m_current = std::move(m_window.front());
        m_window.pop_front();
        m_current->done.get();
        return m_current.get();
    }

private:
    CqzCaptureWorkers& m_workers;
    Source& m_source;
    std::size_t m_ahead;
    std::function<void(Piece&)> m_work;
    std::deque<std::unique_ptr<Piece>> m_window;
    std::vector<std::unique_ptr<Piece>> m_free;
    std::unique_ptr<Piece> m_current;
    std::size_t m_handed = 0;
};
