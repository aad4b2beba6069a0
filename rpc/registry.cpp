#include "rpc/registry.h"

#include "platform/core/textcodec.h"
#include "rpc/exceptions.h"
#include "rpc/pelioenv.h"
#include "rpc/transport.h"

#include <mutex>

namespace pelio {

namespace {

struct GlobalRegistry {
    std::mutex mutex;
    TPelioMetaList list;
};

GlobalRegistry& Registry() {
    static GlobalRegistry registry;
    return registry;
}

} // namespace

void TPelioStub::SetServantClass(TPelioServantClass servantClass) {
    servantClass_ = std::move(servantClass);
    servant_.reset();
    if (servantClass_) servant_ = servantClass_();
}

TPelioServant* TPelioStub::GetServant() {
    if (servant_) servant_->SetEnvironment(environment_);
    return servant_.get();
}

TosDataBuffer& TPelioStub::GetRequest() {
    return transport_->DataBuffer();
}

void TPelioStub::DestroyRequest() {
    transport_->CloseBuffer();
}

TosDataBuffer& TPelioStub::CreateResponse() {
    transport_->OpenBuffer(false);
    TosDataBuffer& buffer = transport_->DataBuffer();
    buffer.WriteSmallInt(OSTP_VERSION_INFO);
    buffer.WriteSmallInt(OSTP_RPC_RESPONSE);
    environment_->WriteBuffer(buffer);
    return buffer;
}

void TPelioStub::SendResponse() {
    transport_->CloseBuffer();
}

void TPelioStub::DoInvoke(const std::string& interfaceName, const std::string& methodName) {
    throw EosRemoteException("<" + interfaceName + "." + methodName + "> 未被实现!");
}

void TPelioStub::ExecuteMethod(const std::string& interfaceName, const std::string& methodName) {
    std::string failure;
    try {
        DoInvoke(interfaceName, methodName);
        environment_->RecordInfo("O");
        return;
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "Unknown exception";
    }
    transport_->SendRemoteException(failure);
    environment_->RecordInfo("E");
}

TPelioMetaInfo* TPelioMetaList::Find(const std::string& name) {
    for (TPelioMetaInfo& entry : entries_)
        if (kav::EqualsIgnoringCase(entry.Name, name)) return &entry;
    return nullptr;
}

void TPelioMetaList::RegisterStubClass(const std::string& name, TPelioStubClass stubClass) {
    if (Find(name)) return;
    entries_.push_back({name, std::move(stubClass), nullptr, nullptr});
}

void TPelioMetaList::RegisterServantClass(const std::string& name, TPelioServantClass servantClass) {
    for (TPelioMetaInfo& entry : entries_)
        if (kav::EqualsIgnoringCase(entry.Name, name)) entry.ServantClass = servantClass;
}

TPelioStub* TPelioMetaList::GetStubObject(const std::string& name) {
    TPelioMetaInfo* entry = Find(name);
    if (!entry) return nullptr;
    if (!entry->StubObject) {
        entry->StubObject = entry->StubClass();
        entry->StubObject->SetServantClass(entry->ServantClass);
    }
    return entry->StubObject.get();
}

void TPelioMetaList::CopyFrom(const TPelioMetaList& source) {
    Clear();
    entries_.reserve(source.entries_.size());
    for (const TPelioMetaInfo& entry : source.entries_)
        entries_.push_back({entry.Name, entry.StubClass, nullptr, entry.ServantClass});
}

void ORBRegisterStubClass(const std::string& interfaceName, TPelioStubClass stubClass) {
    std::lock_guard lock(Registry().mutex);
    Registry().list.RegisterStubClass(interfaceName, std::move(stubClass));
}

void ORBRegisterServantClass(const std::string& interfaceName, TPelioServantClass servantClass) {
    std::lock_guard lock(Registry().mutex);
    Registry().list.RegisterServantClass(interfaceName, std::move(servantClass));
}

void ORBCopyRegistry(TPelioMetaList& into) {
    std::lock_guard lock(Registry().mutex);
    into.CopyFrom(Registry().list);
}

} // namespace pelio
