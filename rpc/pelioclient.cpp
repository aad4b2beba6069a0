#include "rpc/pelioclient.h"

#include "rpc/exceptions.h"

namespace pelio {

TPelioClient::TPelioClient() : socket_(io_) {
    transport_.SetConnection(&socket_);
    environment_.Reset();
    SetHost("127.0.0.1");
    SetPort(6666);
}

TPelioClient::~TPelioClient() {
    socket_.Disconnect();
}

void TPelioClient::SetHost(const std::string& value) {
    if (value == host_) return;
    host_ = value;
    SetActive(false);
}

void TPelioClient::SetPort(int value) {
    if (value == port_) return;
    port_ = value;
    SetActive(false);
}

void TPelioClient::SetActive(bool value) {
    try {
        if (!value) {
            socket_.Disconnect();
        } else if (!socket_.Connected()) {
            socket_.Connect(host_, port_, connectTimeout_);
            environment_.Info.ClientAddress = socket_.LocalAddress();
            BeginAudit();
        }
    } catch (const TosSocketError&) {
        throw EosConnectionError(std::string(kLostConnectionText));
    } catch (const EosAssertion&) {
        throw;
    } catch (const std::exception&) {
        throw std::runtime_error(std::string(kLostConnectionText));
    }
    active_ = value;
}

void TPelioClient::BeginAudit() {
    TosTransport audit;
    audit.SetConnection(&socket_);
    audit.SetLimits(transport_.Limits());
    environment_.CreateSession();
    audit.OpenBuffer(false);
    TosDataBuffer& buffer = audit.DataBuffer();
    buffer.WriteSmallInt(OSTP_VERSION_INFO);
    buffer.WriteSmallInt(OSTP_AUDIT_NOTIFY);
    environment_.WriteBuffer(buffer);
    audit.CloseBuffer();
}

void TPelioClient::SelfTest() {
    transport_.OpenBuffer(false);
    transport_.CloseBuffer();
    transport_.OpenBuffer(true);
    transport_.CloseBuffer();
}

TPelioProxy::TPelioProxy(TPelioClient* client) : client_(client) {
    PelioAssert(client != nullptr, "PelioClient", "a proxy needs a client");
}

TosDataBuffer& TPelioProxy::CreateRequest(std::string_view interfaceName, std::string_view methodName) {
    // Connect (and announce a new session) before the environment block is written, so that the
    // first request of a connection carries the session it announced rather than the old one.
    client_->SetActive(true);
    TosTransport& transport = client_->Transport();
    transport.OpenBuffer(false);
    TosDataBuffer& buffer = transport.DataBuffer();
    buffer.WriteSmallInt(OSTP_VERSION_INFO);
    buffer.WriteSmallInt(OSTP_RPC_REQUEST);
    client_->Environment().WriteBuffer(buffer);
    buffer.WriteString(interfaceName);
    buffer.WriteString(methodName);
    return buffer;
}

void TPelioProxy::SendRequest() {
    client_->SetActive(true);
    client_->Transport().CloseBuffer();
}

TosDataBuffer& TPelioProxy::GetResponse() {
    TosTransport& transport = client_->Transport();
    transport.OpenBuffer(true);
    TosDataBuffer& buffer = transport.DataBuffer();
    if (buffer.ReadSmallInt() != OSTP_VERSION_INFO) throw EosRemoteException(std::string(kWrongVersionText));
    if (buffer.ReadSmallInt() == OSTP_RPC_EXCEPTION) throw EosRemoteException(buffer.ReadString());
    client_->Environment().ReadBuffer(buffer);
    return buffer;
}

void TPelioProxy::DestoryResponse() {
    client_->Transport().CloseBuffer();
}

} // namespace pelio
