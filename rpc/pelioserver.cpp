#include "rpc/pelioserver.h"

#include "rpc/exceptions.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace pelio {

TPelioServerThread::TPelioServerThread(TosSocket& connection, const TosTransportLimits& limits,
                                       Publisher publish)
    : connection_(connection), publish_(std::move(publish)) {
    transport_.SetLimits(limits);
}

void TPelioServerThread::RecordInfo(const std::string& state) {
    environment_.RecordInfo(state);
}

void TPelioServerThread::BeforeRun() {
    ORBCopyRegistry(registry_);
    environment_.Reset();
    environment_.Info.ServerAddress = connection_.LocalAddress();
    environment_.Info.PeerAddress = connection_.PeerAddress();
    environment_.Info.ServerPort = connection_.LocalPort();
    environment_.Info.State = "C";
    publish_(environment_.Info);
}

bool TPelioServerThread::Run() {
    try {
        transport_.SetConnection(&connection_);
        transport_.OpenBuffer(true);
        if (transport_.DataBuffer().GetSize() == 0) { // a ping: answer with a frame without body
            transport_.CloseBuffer();
            transport_.OpenBuffer(false);
            transport_.CloseBuffer();
        } else {
            ORBDispatch();
        }
    } catch (...) {
        // Whatever the peer sent or however it failed, only this connection ends.
        connection_.Disconnect();
    }
    publish_(environment_.Info);
    return connection_.Connected();
}

void TPelioServerThread::AfterRun() {
    registry_.Clear();
    RecordInfo("D");
    publish_(environment_.Info);
}

bool TPelioServerThread::ORBDispatch() {
    TosDataBuffer& buffer = transport_.DataBuffer();
    if (buffer.ReadSmallInt() != OSTP_VERSION_INFO) {
        transport_.CloseBuffer();
        return false;
    }
    const std::int16_t kind = buffer.ReadSmallInt();
    if (kind == OSTP_RPC_REQUEST) {
        environment_.ReadBuffer(buffer);
        std::string interfaceName = buffer.ReadString();
        std::string methodName = buffer.ReadString();
        environment_.Info.InterfaceName = interfaceName;
        environment_.Info.MethodName = methodName;
        ++environment_.Info.RequestCount;
        RecordInfo("I");
        TPelioStub* stub = GetStubObject(interfaceName);
        if (!stub) {
            transport_.SendRemoteException("<" + interfaceName + "> 未注册!");
            RecordInfo("E");
        } else if (!stub->ServantClass()) {
            transport_.SendRemoteException("<" + interfaceName + "> 没有相应的Servant!");
            RecordInfo("E");
        } else {
            stub->SetTransport(&transport_);
            stub->SetEnvironment(&environment_);
            stub->ExecuteMethod(interfaceName, methodName);
        }
        return false;
    }
    if (kind == OSTP_AUDIT_NOTIFY) {
        environment_.ReadBuffer(buffer);
        RecordInfo("C");
        transport_.CloseBuffer();
        return true;
    }
    transport_.CloseBuffer();
    return false;
}

TPelioServer::TPelioServer() = default;

TPelioServer::~TPelioServer() {
    Stop();
}

void TPelioServer::SetActive(bool value) {
    if (value == GetActive()) return;
    if (value)
        Start();
    else
        Stop();
}

void TPelioServer::SetPort(int value) {
    if (value == port_) return;
    Stop();
    port_ = value;
}

void TPelioServer::SetThreadPoolSize(int value) {
    if (value == threadPoolSize_) return;
    Stop();
    threadPoolSize_ = value;
}

void TPelioServer::SetMaxConnections(int value) {
    if (value == maxConnections_) return;
    Stop();
    maxConnections_ = value;
}

void TPelioServer::SetTransportLimits(const TosTransportLimits& limits) {
    std::lock_guard lock(mutex_);
    limits_ = limits;
}

void TPelioServer::SetConnectionObserver(ConnectionObserver observer) {
    std::lock_guard lock(mutex_);
    observer_ = std::move(observer);
}

std::vector<TosEnvironmentInfo> TPelioServer::Connections() const {
    std::lock_guard lock(mutex_);
    std::vector<TosEnvironmentInfo> result;
    result.reserve(live_.size());
    for (const auto& [id, connection] : live_)
        result.push_back(connection.info);
    return result;
}

std::size_t TPelioServer::ThreadCount() const {
    std::lock_guard lock(mutex_);
    std::size_t count = 0;
    for (const Worker& worker : workers_)
        count += worker.finished ? 0 : 1;
    return count;
}

void TPelioServer::Start() {
    try {
        auto listener = std::make_unique<asio::ip::tcp::acceptor>(io_);
        const asio::ip::tcp::endpoint endpoint(asio::ip::tcp::v4(), static_cast<unsigned short>(port_));
        if (port_ < 0 || port_ > 65535) throw std::out_of_range("port");
        listener->open(endpoint.protocol());
        listener->set_option(asio::socket_base::reuse_address(true));
        listener->bind(endpoint);
        listener->listen();
        listener->non_blocking(true);
        if (::pipe2(wakePipe_, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        listeningPort_ = listener->local_endpoint().port();
        listener_ = std::move(listener);
    } catch (const std::exception&) {
        throw std::runtime_error("Can not start ORB Server on PORT: " + std::to_string(port_));
    }
    stopping_ = false;
    acceptThread_ = std::thread(&TPelioServer::AcceptLoop, this);
}

void TPelioServer::Stop() {
    if (!listener_) return;
    const char wake = 1;
    [[maybe_unused]] const auto written = ::write(wakePipe_[1], &wake, 1);
    acceptThread_.join();
    asio::error_code ignored;
    listener_->close(ignored);
    listener_.reset();
    ::close(wakePipe_[0]);
    ::close(wakePipe_[1]);
    wakePipe_[0] = wakePipe_[1] = -1;
    listeningPort_ = 0;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (auto& [id, connection] : live_)
            connection.socket->Interrupt();
    }
    wake_.notify_all();
    for (Worker& worker : workers_) // workers_ only changes on the accept thread, which has ended
        worker.thread.join();
    std::lock_guard lock(mutex_);
    workers_.clear();
    live_.clear();
    queue_.clear();
    idleWorkers_ = 0;
}

void TPelioServer::AcceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listener_->native_handle(), POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue; // EINTR
        if (fds[1].revents) return;
        asio::ip::tcp::socket accepted(io_);
        asio::error_code ec;
        listener_->accept(accepted, ec);
        if (ec == asio::error::would_block || ec == asio::error::try_again ||
            ec == asio::error::connection_aborted)
            continue;
        if (ec) {
            // Out of descriptors or memory: back off instead of spinning on a listener that
            // stays readable, and keep watching for the stop request.
            pollfd wake{wakePipe_[0], POLLIN, 0};
            if (::poll(&wake, 1, 100) > 0) return;
            continue;
        }
        std::unique_lock lock(mutex_);
        ReapFinishedWorkers(lock);
        if (maxConnections_ > 0 && live_.size() >= static_cast<std::size_t>(maxConnections_)) {
            accepted.close(ec); // refused at once rather than left waiting
            continue;
        }
        const std::uint64_t id = nextId_++;
        live_[id].socket = std::make_unique<TosSocket>(std::move(accepted));
        queue_.push_back(id);
        if (queue_.size() > idleWorkers_) {
            Worker& worker = workers_.emplace_back();
            worker.thread = std::thread(&TPelioServer::WorkerLoop, this, &worker);
        }
        wake_.notify_one();
    }
}

void TPelioServer::ReapFinishedWorkers(std::unique_lock<std::mutex>& lock) {
    std::list<Worker> finished;
    for (auto it = workers_.begin(); it != workers_.end();) {
        auto next = std::next(it);
        if (it->finished) finished.splice(finished.end(), workers_, it);
        it = next;
    }
    lock.unlock();
    for (Worker& worker : finished)
        worker.thread.join();
    lock.lock();
}

void TPelioServer::WorkerLoop(Worker* self) {
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idleWorkers_;
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        --idleWorkers_;
        if (stopping_) break;
        const std::uint64_t id = queue_.front();
        queue_.erase(queue_.begin());
        TosSocket& socket = *live_[id].socket;
        lock.unlock();
        Serve(id, socket);
        lock.lock();
        live_.erase(id);
        if (idleWorkers_ >= static_cast<std::size_t>(std::max(threadPoolSize_, 0))) break;
    }
    self->finished = true;
}

void TPelioServer::Serve(std::uint64_t id, TosSocket& socket) {
    TosTransportLimits limits;
    ConnectionObserver observer;
    {
        std::lock_guard lock(mutex_);
        limits = limits_;
        observer = observer_;
    }
    TPelioServerThread thread(socket, limits, [this, id](const TosEnvironmentInfo& info) {
        std::lock_guard lock(mutex_);
        live_[id].info = info;
    });
    const auto notify = [&] {
        if (!observer) return;
        try {
            observer(thread.Environment().Info);
        } catch (...) {
        }
    };
    try {
        thread.BeforeRun();
        notify();
        while (thread.Run()) {
        }
    } catch (...) {
        // A failure outside the cycle (the registry copy) ends this connection only.
    }
    thread.AfterRun();
    socket.Disconnect();
    notify();
}

} // namespace pelio
