#pragma once
// Remote operations declared once and used on both sides.
//
// A service declares each operation as an inline constexpr TRemoteOperation: its method name, the
// wire types of its result and arguments, and the interface member that implements it. From that
// one declaration CallRemote writes a proxy call and TRemoteStub dispatches a request, so the
// argument order and encodings cannot differ between the two sides:
//
//   inline constexpr TRemoteOperation<IFoo, wire::Boolean, wire::String, wire::Integer>
//       FooRelease{"Release", &IFoo::Release};          // bool Release(const std::string&, int32_t)
//   bool TFoo_proxy::Release(const std::string& a, std::int32_t b) { return CallRemote(*this, "IFoo",
//   FooRelease, a, b); } using TFoo_stub = TRemoteStub<TFoo_serv, FooGet, FooRelease>;
//
// Wire types (Marshal<W> has Value, Param, Write and Read):
//   wire::String     std::string, WriteString/ReadString (ansi code page on the wire)
//   wire::Boolean    bool, one byte
//   wire::Integer    std::int32_t, four bytes
//   wire::OleVariant Variant, the full variant encoding (ReadOleVariant on reading)
//   wire::Packet     Variant holding a byte array (a data packet), sent as a String of its bytes
//                    and rebuilt as a byte array; bytes, not text, so no code page conversion.

#include "rpc/databuffer.h"
#include "rpc/pelioclient.h"
#include "rpc/registry.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>

namespace pelio {

namespace wire {
struct String {};
struct Boolean {};
struct Integer {};
struct OleVariant {};
struct Packet {};
} // namespace wire

template <class Wire> struct Marshal;

template <> struct Marshal<wire::String> {
    using Value = std::string;
    using Param = const std::string&;
    static void Write(TosDataBuffer& buffer, Param value) { buffer.WriteString(value); }
    static Value Read(TosDataBuffer& buffer) { return buffer.ReadString(); }
};

template <> struct Marshal<wire::Boolean> {
    using Value = bool;
    using Param = bool;
    static void Write(TosDataBuffer& buffer, Param value) { buffer.WriteBoolean(value); }
    static Value Read(TosDataBuffer& buffer) { return buffer.ReadBoolean(); }
};

template <> struct Marshal<wire::Integer> {
    using Value = std::int32_t;
    using Param = std::int32_t;
    static void Write(TosDataBuffer& buffer, Param value) { buffer.WriteInteger(value); }
    static Value Read(TosDataBuffer& buffer) { return buffer.ReadInteger(); }
};

template <> struct Marshal<wire::OleVariant> {
    using Value = Variant;
    using Param = const Variant&;
    static void Write(TosDataBuffer& buffer, Param value) { buffer.WriteOleVariant(value); }
    static Value Read(TosDataBuffer& buffer) { return buffer.ReadOleVariant(); }
};

template <> struct Marshal<wire::Packet> {
    using Value = Variant;
    using Param = const Variant&;
    // Raises std::runtime_error when the value is not a byte array.
    static void Write(TosDataBuffer& buffer, Param value) { buffer.WriteStringBytes(value.ByteArrayView()); }
    static Value Read(TosDataBuffer& buffer) { return Variant::ByteArray(buffer.ReadStringBytes()); }
};

template <class Interface, class ResultWire, class... ArgWires> struct TRemoteOperation {
    using Result = typename Marshal<ResultWire>::Value;
    using Method = Result (Interface::*)(typename Marshal<ArgWires>::Param...);

    std::string_view Name;
    Method Function;
};

// One remote call through `proxy`: request head, arguments, send, wait, one result.
template <class Interface, class ResultWire, class... ArgWires>
typename Marshal<ResultWire>::Value
CallRemote(TPelioProxy& proxy, std::string_view interfaceName,
           const TRemoteOperation<Interface, ResultWire, ArgWires...>& operation,
           typename Marshal<ArgWires>::Param... args) {
    TosDataBuffer& request = proxy.CreateRequest(interfaceName, operation.Name);
    (Marshal<ArgWires>::Write(request, args), ...);
    proxy.SendRequest();
    TosDataBuffer& response = proxy.GetResponse();
    typename Marshal<ResultWire>::Value result = Marshal<ResultWire>::Read(response);
    proxy.DestoryResponse();
    return result;
}

// A stub dispatching the listed operations by exact, case-sensitive method name, in list order.
// Every call runs on a fresh servant made by the registered servant class, which must derive
// from Servant; it is given the connection's environment.
template <class Servant, const auto&... Operations> class TRemoteStub : public TPelioStub {
public:
    void DoInvoke(const std::string& interfaceName, const std::string& methodName) override {
        const bool handled = ((methodName == Operations.Name ? (Invoke(Operations), true) : false) || ...);
        if (!handled) TPelioStub::DoInvoke(interfaceName, methodName);
    }

private:
    template <class Interface, class ResultWire, class... ArgWires>
    void Invoke(const TRemoteOperation<Interface, ResultWire, ArgWires...>& operation) {
        std::unique_ptr<TPelioServant> instance = ServantClass()();
        auto* servant = dynamic_cast<Servant*>(instance.get());
        if (!servant) throw std::runtime_error("Invalid class typecast");
        servant->SetEnvironment(Environment());
        TosDataBuffer& request = GetRequest();
        // Braced initialisation reads the arguments strictly left to right.
        std::tuple<typename Marshal<ArgWires>::Value...> args{Marshal<ArgWires>::Read(request)...};
        DestroyRequest();
        const typename Marshal<ResultWire>::Value result =
            std::apply([&](auto&... values) { return (servant->*operation.Function)(values...); }, args);
        Marshal<ResultWire>::Write(CreateResponse(), result);
        SendResponse();
    }
};

} // namespace pelio
