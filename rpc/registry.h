#pragma once
// Server-side publishing of interfaces: stubs (marshalling, one per interface) and servants
// (implementations), registered by interface name and looked up ignoring ASCII letter case.
// Class references of the original design are factories here.
//
// Ownership: a TPelioMetaList owns its stub objects, a stub owns its servant. Every server
// connection works on its own copy of the process-wide registry, so stubs and servants are never
// shared between connections.
//
// Threading: the ORBRegister* functions and ORBCopyRegistry lock the process-wide registry; a
// TPelioMetaList, stub or servant otherwise belongs to one connection thread.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pelio {

class TosDataBuffer;
class TosTransport;
class TPelioEnvironment;

class TPelioServant {
public:
    virtual ~TPelioServant() = default;
    void SetEnvironment(TPelioEnvironment* environment) noexcept { environment_ = environment; }
    // The connection's environment (not owned); null until the stub hands the servant out.
    TPelioEnvironment* Environment() const noexcept { return environment_; }

private:
    TPelioEnvironment* environment_ = nullptr;
};

class TPelioStub;
using TPelioServantClass = std::function<std::unique_ptr<TPelioServant>()>;
using TPelioStubClass = std::function<std::unique_ptr<TPelioStub>()>;

class TPelioStub {
public:
    TPelioStub() = default;
    virtual ~TPelioStub() = default;
    TPelioStub(const TPelioStub&) = delete;
    TPelioStub& operator=(const TPelioStub&) = delete;

    // Stores the factory, frees the current servant and, with a factory, creates a new one.
    void SetServantClass(TPelioServantClass servantClass);
    const TPelioServantClass& ServantClass() const noexcept { return servantClass_; }
    // The stub's servant with the connection's environment given to it; null without a class.
    TPelioServant* GetServant();
    void SetTransport(TosTransport* transport) noexcept { transport_ = transport; }
    void SetEnvironment(TPelioEnvironment* environment) noexcept { environment_ = environment; }

    // The request's buffer, positioned at the first argument.
    TosDataBuffer& GetRequest();
    void DestroyRequest();
    // Opens the reply and writes its head (version, kind 1, the connection's environment).
    TosDataBuffer& CreateResponse();
    void SendResponse();

    // Reads the arguments, calls the servant and sends the reply. The base refuses every
    // method with EosRemoteException "<Interface.Method> 未被实现!".
    virtual void DoInvoke(const std::string& interfaceName, const std::string& methodName);
    // DoInvoke, turning any exception into an exception message to the client. Raises only when
    // that message cannot be sent.
    void ExecuteMethod(const std::string& interfaceName, const std::string& methodName);

protected:
    // The connection's environment (not owned), for the servants a stub makes itself.
    TPelioEnvironment* Environment() const noexcept { return environment_; }

private:
    TosTransport* transport_ = nullptr;
    TPelioServantClass servantClass_;
    std::unique_ptr<TPelioServant> servant_;
    TPelioEnvironment* environment_ = nullptr;
};

struct TPelioMetaInfo {
    std::string Name;
    TPelioStubClass StubClass;
    std::unique_ptr<TPelioStub> StubObject; // created on first use
    TPelioServantClass ServantClass;
};

class TPelioMetaList final {
public:
    // Keeps the first registration of a name.
    void RegisterStubClass(const std::string& name, TPelioStubClass stubClass);
    // Sets the servant of the entry of that name; without such an entry nothing happens.
    void RegisterServantClass(const std::string& name, TPelioServantClass servantClass);
    // The entry's stub, created on first request with the entry's servant class; null when no
    // entry has that name.
    TPelioStub* GetStubObject(const std::string& name);
    // Same names and classes, no stub objects.
    void CopyFrom(const TPelioMetaList& source);
    void Clear() noexcept { entries_.clear(); }
    std::size_t Count() const noexcept { return entries_.size(); }

private:
    TPelioMetaInfo* Find(const std::string& name);

    std::vector<TPelioMetaInfo> entries_;
};

void ORBRegisterStubClass(const std::string& interfaceName, TPelioStubClass stubClass);
void ORBRegisterServantClass(const std::string& interfaceName, TPelioServantClass servantClass);
// A copy of the process-wide registry.
void ORBCopyRegistry(TPelioMetaList& into);

template <class TStub> void ORBRegisterStubClass(const std::string& interfaceName) {
    ORBRegisterStubClass(interfaceName, [] { return std::unique_ptr<TPelioStub>(new TStub()); });
}

template <class TServant> void ORBRegisterServantClass(const std::string& interfaceName) {
    ORBRegisterServantClass(interfaceName, [] { return std::unique_ptr<TPelioServant>(new TServant()); });
}

} // namespace pelio
