#include "server/ticketfaceservant.h"

#include "host/sqltext.h"
#include "platform/dataset/clientdataset.h"
#include "platform/dataset/datapacketbuilder.h"
#include "server/dbpipeservant.h"

namespace kav::server {

namespace {

std::vector<TFieldDef> FieldDefsOf(TClientDataSet& rows) {
    std::vector<TFieldDef> defs;
    for (int i = 0; i < rows.FieldCount(); ++i)
        defs.push_back(rows.Fields(i).Def());
    return defs;
}

void AddCurrentRow(TDataPacketBuilder& builder, TClientDataSet& rows) {
    for (int i = 0; i < rows.FieldCount(); ++i) {
        const TField& field = rows.Fields(i);
        const FieldValue value = field.Value();
        switch (value.GetKind()) {
        case FieldValue::Kind::Boolean:
            builder.AddBoolean(value.Boolean());
            break;
        case FieldValue::Kind::Integer:
            builder.AddInteger(value.Integer());
            break;
        case FieldValue::Kind::Float:
            if (field.DataType() == TFieldType::ftDateTime || field.DataType() == TFieldType::ftTimeStamp)
                builder.AddDateTime(value.Float());
            else
                builder.AddFloat(value.Float());
            break;
        case FieldValue::Kind::String:
            builder.AddString(value.String());
            break;
        default:
            builder.AddNull();
        }
    }
}

// The rows of `details` whose TICKETSTYLE is `style`, into the cleared `nested`.
void FillNested(TDataPacketBuilder& nested, TClientDataSet& details, const std::string& style) {
    nested.ClearRows();
    for (details.First(); !details.Eof(); details.Next())
        if (details.FieldByName("TICKETSTYLE").AsString() == style) {
            nested.BeginRow();
            AddCurrentRow(nested, details);
        }
}

} // namespace

Variant TKavTicketFaceShow::GetTicketFace(const std::string& Context, const std::string& ProductCode) {
    const std::string node = services_.sessions.Verify(Context).Value(context_names::NodeCode);
    Connection& connection = ThreadConnection(services_.database);
    const auto read = [&](TClientDataSet& rows, const std::string& columns, const std::string& table,
                          const std::string& order) {
        rows.SetData(connection.GetData(
            SqlFormat("select " + columns + " from " + table +
                          " where NODECODE = '%s' and PRODUCTCODE = '%s' order by " + order,
                      {node, ProductCode})));
    };
    TClientDataSet faces, elements, sections;
    read(faces,
         "NODECODE, PRODUCTCODE, TICKETSTYLE, TICKETWIDTH, TICKETHEIGHT, SUBQUANTITY, SUBWIDTH, SUBATLEFT, "
         "PRINTNAME, PRINTORDER, BACKPIC",
         "KAV_TICKETFACE", "TICKETSTYLE");
    read(elements, "*", "KAV_TICKETFACE_ELEMENT", "TICKETSTYLE, ELEMENTNO");
    read(sections, "NODECODE, PRODUCTCODE, TICKETSTYLE, SECTIONTYPE, SECTIONCODE", "KAV_TICKETFACE_SECTION",
         "TICKETSTYLE, SECTIONTYPE, SECTIONCODE");

    std::vector<TFieldDef> fields = FieldDefsOf(faces);
    TFieldDef elementField = MakeFieldDef("qryElement", TFieldType::ftDataSet);
    elementField.nestedFields = FieldDefsOf(elements);
    TFieldDef sectionField = MakeFieldDef("qrySection", TFieldType::ftDataSet);
    sectionField.nestedFields = FieldDefsOf(sections);
    fields.push_back(elementField);
    fields.push_back(sectionField);

    TDataPacketBuilder packet(fields), faceElements(elementField.nestedFields),
        faceSections(sectionField.nestedFields);
    for (faces.First(); !faces.Eof(); faces.Next()) {
        const std::string style = faces.FieldByName("TICKETSTYLE").AsString();
        packet.BeginRow();
        AddCurrentRow(packet, faces);
        FillNested(faceElements, elements, style);
        packet.AddNested(faceElements);
        FillNested(faceSections, sections, style);
        packet.AddNested(faceSections);
    }
    return PacketResult(packet.Packet(), services_.maxMessageBytes);
}

} // namespace kav::server
