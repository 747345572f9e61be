#include "platform/win/thread_queue.h"

#include <poll.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <map>

namespace tevorin::win {
namespace {

// A runaway poster must not eat all memory; a real queue this long means the
// receiving thread has stopped reading.
constexpr std::size_t kMaxPostedMessages = 100000;
// A thread that exchanged sent messages this recently spins before sleeping,
// for at most the spin budget.
constexpr std::chrono::microseconds kRecentTraffic{2000};
constexpr std::chrono::microseconds kSpinBudget{60};
// A peer that is running answers or sends within this time; spinning this
// long never gives the CPU away.
constexpr std::chrono::microseconds kEagerSpin{4};
// A thread kept busy by a stream of messages still looks at its other wait
// sources (display, session socket) at least this often.
constexpr std::chrono::microseconds kSourcePollInterval{1000};

std::mutex& QueuesMutex() {
    static std::mutex mutex;
    return mutex;
}
std::map<DWORD, std::weak_ptr<ThreadQueue>>& Queues() {
    static std::map<DWORD, std::weak_ptr<ThreadQueue>> queues;
    return queues;
}
std::atomic<void (*)(DWORD)> g_threadExitHandler{nullptr};

// Spinning only pays when the thread that ends the spin can run meanwhile.
bool CanSpin() {
    static const bool several = [] {
        cpu_set_t cpus;
        CPU_ZERO(&cpus);
        return ::sched_getaffinity(0, sizeof cpus, &cpus) == 0 && CPU_COUNT(&cpus) > 1;
    }();
    return several;
}

DWORD SystemThreadId() {
    return static_cast<DWORD>(::syscall(SYS_gettid));
}

// Owns the thread's queue for the thread's lifetime.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (!queue) return;
        if (auto handler = g_threadExitHandler.load()) handler(queue->ThreadId());
        queue->Close();
        std::lock_guard lock(QueuesMutex());
        Queues().erase(queue->ThreadId());
    }
};
thread_local QueueHolder t_holder;

}  // namespace

void SentMessage::Complete(LRESULT value) {
    if (claimed_.exchange(true, std::memory_order_acq_rel)) return;
    result_ = value;
    auto waiter = sender;
    done_.store(true, std::memory_order_release);
    if (waiter) waiter->Wake();
}

bool MessageFilter::Accepts(const MSG& msg) const {
    if (!windows.empty() && std::find(windows.begin(), windows.end(), msg.hwnd) == windows.end())
        return false;
    if (first == 0 && last == 0) return true;
    return msg.message >= first && msg.message <= last;
}

ThreadQueue::ThreadQueue(DWORD threadId) : threadId_(threadId) {
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

ThreadQueue::~ThreadQueue() {
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void ThreadQueue::Wake() {
    wakes_.fetch_add(1, std::memory_order_seq_cst);
    // A thread that is not asleep sees the count before it sleeps; writing
    // the descriptor would only cost both sides a system call.
    if (wakeFd_ < 0 || !sleeping_.load(std::memory_order_seq_cst)) return;
    const std::uint64_t one = 1;
    // EAGAIN means the counter is already non-zero: the thread wakes anyway.
    while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool ThreadQueue::Post(const MSG& msg) {
    {
        std::lock_guard lock(mutex_);
        if (closed_ || posted_.size() >= kMaxPostedMessages) return false;
        posted_.push_back(msg);
    }
    Wake();
    return true;
}

bool ThreadQueue::Deliver(std::shared_ptr<SentMessage> message) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) return false;
        sent_.push_back(std::move(message));
    }
    Wake();
    return true;
}

void ThreadQueue::PostQuit(int exitCode) {
    {
        std::lock_guard lock(mutex_);
        quitPosted_ = true;
        quitCode_ = exitCode;
    }
    Wake();
}

std::shared_ptr<SentMessage> ThreadQueue::TakeSent() {
    std::shared_ptr<SentMessage> message;
    {
        std::lock_guard lock(mutex_);
        if (sent_.empty()) return nullptr;
        message = std::move(sent_.front());
        sent_.pop_front();
        // Several senders queue here: they want the CPU this thread spins on.
        if (!sent_.empty()) lastContention_ = std::chrono::steady_clock::now();
    }
    NoteSentTraffic();
    return message;
}

void ThreadQueue::NoteSentTraffic() {
    lastSentTraffic_ = std::chrono::steady_clock::now();
}

bool ThreadQueue::SpinForWake(Spin spin) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    if (!CanSpin() || start - lastSentTraffic_ > kRecentTraffic) return false;
    // After the eager spin the thread that will wake this one may be waiting
    // for this CPU: a sender's receiver may be, and so may one of several
    // senders queued here lately. A lone sender runs elsewhere, and a yield
    // (a system call) would only delay seeing its next message.
    const bool yieldLater = spin == Spin::ForAnswer || start - lastContention_ <= kRecentTraffic;
    const Clock::time_point eagerEnd = start + kEagerSpin;
    const Clock::time_point end = start + kSpinBudget;
    Clock::time_point now = start;
    do {
        for (int i = 0; i < 64; ++i) {
            if (wakes_.load(std::memory_order_acquire) != seenWakes_) return true;
#if defined(__x86_64__) || defined(__i386__)
            __builtin_ia32_pause();
#endif
        }
        if (yieldLater && now >= eagerEnd) sched_yield();
        now = Clock::now();
    } while (now < end);
    return false;
}

bool ThreadQueue::TakePosted(const MessageFilter& filter, bool remove, MSG* out) {
    std::lock_guard lock(mutex_);
    for (auto it = posted_.begin(); it != posted_.end(); ++it) {
        if (!filter.Accepts(*it)) continue;
        *out = *it;
        if (remove) posted_.erase(it);
        return true;
    }
    return false;
}

bool ThreadQueue::TakeQuit(bool remove, int* exitCode) {
    std::lock_guard lock(mutex_);
    if (!quitPosted_) return false;
    *exitCode = quitCode_;
    if (remove) quitPosted_ = false;
    return true;
}

void ThreadQueue::ForgetWindow(HWND hwnd) {
    std::vector<std::shared_ptr<SentMessage>> released;
    {
        std::lock_guard lock(mutex_);
        for (auto it = sent_.begin(); it != sent_.end();) {
            if ((*it)->hwnd == hwnd && !(*it)->task) {
                released.push_back(std::move(*it));
                it = sent_.erase(it);
            } else {
                ++it;
            }
        }
        std::erase_if(posted_, [hwnd](const MSG& msg) { return msg.hwnd == hwnd; });
    }
    for (auto& message : released) message->Complete(0);
}

void ThreadQueue::Close() {
    std::deque<std::shared_ptr<SentMessage>> released;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        released.swap(sent_);
        posted_.clear();
    }
    for (auto& message : released) message->Complete(0);
}

bool ThreadQueue::IsClosed() {
    std::lock_guard lock(mutex_);
    return closed_;
}

int ThreadQueue::AddWaitSource(int fd, std::function<void()> onReadable,
                               std::function<void()> beforeWait) {
    const int id = nextSourceId_++;
    sources_.push_back({id, fd, std::move(onReadable), std::move(beforeWait)});
    return id;
}

void ThreadQueue::RemoveWaitSource(int sourceId) {
    std::erase_if(sources_, [sourceId](const WaitSource& s) { return s.id == sourceId; });
}

void ThreadQueue::Wait(int timeoutMs, bool runSources, Spin spin) {
    using Clock = std::chrono::steady_clock;
    const bool wokenWhileSpinning = timeoutMs != 0 && SpinForWake(spin);
    // Woken since the caller last looked: it looks again without sleeping.
    if (wakes_.load(std::memory_order_seq_cst) != seenWakes_) timeoutMs = 0;
    // A wake that came while spinning is the next message of a stream; the
    // other sources wait for their turn rather than cost a system call each.
    const bool sourcesDue =
        runSources && (!wokenWhileSpinning || Clock::now() - lastSourcePoll_ >= kSourcePollInterval);
    if (timeoutMs == 0 && !sourcesDue) {
        seenWakes_ = wakes_.load(std::memory_order_acquire);
        return;
    }
    if (runSources) lastSourcePoll_ = Clock::now();
    if (runSources) {
        // What these post wakes the poll below at once.
        std::vector<std::function<void()>> preparations;
        for (const auto& source : sources_)
            if (source.beforeWait) preparations.push_back(source.beforeWait);
        for (auto& prepare : preparations) prepare();
    }
    std::vector<pollfd> fds;
    fds.push_back({wakeFd_, POLLIN, 0});
    std::vector<int> ids;
    if (runSources) {
        for (const auto& source : sources_) {
            fds.push_back({source.fd, POLLIN, 0});
            ids.push_back(source.id);
        }
    }
    if (timeoutMs != 0) {
        // Wake() writes the descriptor only for a sleeper: announce the sleep,
        // then look once more, so that a wake in between is never lost.
        sleeping_.store(true, std::memory_order_seq_cst);
        if (wakes_.load(std::memory_order_seq_cst) != seenWakes_) timeoutMs = 0;
    }
    const int ready = ::poll(fds.data(), fds.size(), timeoutMs);
    sleeping_.store(false, std::memory_order_relaxed);
    seenWakes_ = wakes_.load(std::memory_order_acquire);
    if (ready <= 0) return;  // timeout or EINTR: the caller looks again
    if (fds[0].revents != 0) {
        std::uint64_t count = 0;
        while (::read(wakeFd_, &count, sizeof count) < 0 && errno == EINTR) {
        }
    }
    for (std::size_t i = 1; i < fds.size(); ++i) {
        if (fds[i].revents == 0) continue;
        // A handler may remove sources, its own included: look it up afresh.
        for (auto& source : sources_) {
            if (source.id == ids[i - 1]) {
                auto handler = source.onReadable;
                handler();
                break;
            }
        }
    }
}

std::shared_ptr<ThreadQueue> CurrentThreadQueue() {
    if (!t_holder.queue) {
        auto queue = std::make_shared<ThreadQueue>(SystemThreadId());
        {
            std::lock_guard lock(QueuesMutex());
            Queues()[queue->ThreadId()] = queue;
        }
        t_holder.queue = std::move(queue);
    }
    return t_holder.queue;
}

std::shared_ptr<ThreadQueue> FindThreadQueue(DWORD threadId) {
    std::lock_guard lock(QueuesMutex());
    auto it = Queues().find(threadId);
    if (it == Queues().end()) return nullptr;
    return it->second.lock();
}

void SetThreadExitHandler(void (*handler)(DWORD threadId)) {
    g_threadExitHandler.store(handler);
}

}  // namespace tevorin::win
