#pragma once
// TGroupMaxSaleMoney: the sales ceiling of an agent group (KAV_GROUPMAXSALEMONY), read through the
// data pipe. A ceiling record is kept per node, selling group (GroupCode, the seller's) and the group
// that set it (CreateGroup, the performance's owner). The server checks and raises the ceiling when it
// accounts; this component gives the seller the quick answer before.
//
// Load reads the record into a dataset under the columns
//   NodeCode, GroupCode, GroupName, ActualSaleMoney, MaxSaleMoney, CreateUser, CreateUserName,
//   CreateTime, GroupOwnerCode, CreateGroup, CreateGroupName
// (any subset) and conditions over those names, each a complete SQL condition built with SqlFormat.
//
// Threading: that of its pipe (GUI thread).

#include "host/cadbpipe.h"

#include <string>
#include <vector>

namespace kav {

class TClientDataSet;

class TGroupMaxSaleMoney final {
public:
    explicit TGroupMaxSaleMoney(TCADBPipe2& pipe) : pipe_(pipe) {}

    // Raises std::invalid_argument for a column outside the list above (a caller's bug) and what
    // the pipe raises.
    void Load(TClientDataSet& dataSet, const std::vector<std::string>& fields,
              const std::vector<std::string>& conditions, const std::string& context);

    // True when the ceiling set by `createGroup` for the context's group on `nodeCode` allows
    // `amount` more (compared in cents), or when there is no ceiling. The context's group is the
    // selling group; raises what the pipe raises.
    bool Check(const std::string& nodeCode, const std::string& createGroup, double amount,
               const std::string& context);

private:
    TCADBPipe2& pipe_;
};

} // namespace kav
