#pragma once
// The member system's code tables the box office shows: customer types (CLIENTTYPE of orders)
// and certificate (identity document) types, each with its display name.
//
// IKavMemberSys is the seam the order handler depends on; TKavMemberSys reads the tables of the
// context's node from the server through the data pipe, once per context, and keeps them.
// Threading: none; an object belongs to one thread.

#include "services/dbpipe/tpdbpipe_int.h"

#include <optional>
#include <string>
#include <vector>

namespace kav {

struct TMemberCodeName {
    std::string code;
    std::string name;
};

class IKavMemberSys {
public:
    virtual ~IKavMemberSys() = default;

    // The member system's own copy of the login context text; the tables are read for its node.
    virtual void SetContextString(const std::string& context) = 0;

    // In code order. Raise what the data pipe raises.
    virtual const std::vector<TMemberCodeName>& CustomerTypes() = 0;
    virtual const std::vector<TMemberCodeName>& CertificateTypes() = 0;

    // The display name of a code; empty for a code not in the table.
    std::string CustomerTypeName(const std::string& code) { return NameOf(CustomerTypes(), code); }
    std::string CertificateTypeName(const std::string& code) { return NameOf(CertificateTypes(), code); }

private:
    static std::string NameOf(const std::vector<TMemberCodeName>& table, const std::string& code);
};

// The pipe must outlive the object.
class TKavMemberSys final : public IKavMemberSys {
public:
    explicit TKavMemberSys(ITPDBPipe& pipe) : pipe_(pipe) {}

    // A changed context drops the tables read for the previous one.
    void SetContextString(const std::string& context) override;
    const std::vector<TMemberCodeName>& CustomerTypes() override;
    const std::vector<TMemberCodeName>& CertificateTypes() override;

private:
    std::vector<TMemberCodeName> ReadTable(const std::string& pattern);

    ITPDBPipe& pipe_;
    std::string context_;
    std::string nodeCode_;
    std::optional<std::vector<TMemberCodeName>> customerTypes_;
    std::optional<std::vector<TMemberCodeName>> certificateTypes_;
};

} // namespace kav
