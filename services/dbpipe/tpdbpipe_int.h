#pragma once
// ITPDBPipe: the remote data pipe. The client sends SQL text and gets whole tables back as data
// packets (docs/data-packet.md) in byte-array variants. `Context` is the caller's signed session
// context text; the server refuses a call whose context does not verify.
//
// GetData: exactly one read-only statement; its result set.
// GetMasterDetailData: the master rows, each with a nested table field named DetailName that
//   holds the rows of DetailSQL whose :NAME parameters are filled from the master row's columns.
// ExecSQL: exactly one insert, update or delete; 1 when it ran.
// A refused or failing statement raises EosRemoteException with the database's message in the
// caller; the connection stays usable.

#include "rpc/remote.h"
#include "rpc/variant.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kav {

using pelio::Variant;

inline constexpr std::string_view kDBPipeInterface = "ITPDBPipe";

class ITPDBPipe {
public:
    virtual ~ITPDBPipe() = default;

    virtual Variant GetData(const std::string& Context, const std::string& SQL) = 0;
    virtual Variant GetMasterDetailData(const std::string& Context, const std::string& MasterSQL,
                                        const std::string& DetailName, const std::string& DetailSQL) = 0;
    virtual std::int32_t ExecSQL(const std::string& Context, const std::string& SQL) = 0;
};

namespace dbpipe_ops {
using namespace pelio::wire;
using I = ITPDBPipe;
template <class R, class... A> using Op = pelio::TRemoteOperation<I, R, A...>;

inline constexpr Op<OleVariant, String, String> GetData{"GetData", &I::GetData};
inline constexpr Op<OleVariant, String, String, String, String> GetMasterDetailData{"GetMasterDetailData",
                                                                                    &I::GetMasterDetailData};
inline constexpr Op<Integer, String, String> ExecSQL{"ExecSQL", &I::ExecSQL};
} // namespace dbpipe_ops

} // namespace kav
