#include "tools/RecordsJson.h"

#include "tools/JsonText.h"

namespace quillet::convert {

namespace {

std::u16string typeText(std::string_view name) {
    return {name.begin(), name.end()};
}

template <typename Record>
void appendArray(JsonObjectWriter& object, std::string& out, std::string_view key,
                 const std::vector<Record>& records) {
    if (records.empty()) return;
    object.rawKey(key);
    out += '[';
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i > 0) out += ',';
        appendJson(out, records[i]);
    }
    out += ']';
}

std::u16string_view linkTypeText(LinkType type) {
    switch (type) {
    case LinkType::external:
        return u"external";
    case LinkType::local:
        return u"local";
    case LinkType::none:
        break;
    }
    return u"";
}

// A header carried in a line's span array keeps the keys of the block it came from.
void appendHeaderSpan(std::string& out, const SpanDict& header) {
    JsonObjectWriter object(out);
    object.text("type", u"header");
    object.integer("depth", header.depth);
    object.integer("quoteDepth", header.quoteDepth);
    if (header.headerDepth >= 1) object.integer("headerDepth", header.headerDepth);
    object.range("strRange", header.strRange);
    if (header.range) object.range("range", *header.range);
    appendArray(object, out, "spanArray", header.spanArray);
    object.close();
}

bool isLinkOrImage(SpanType type) {
    return type == SpanType::link || type == SpanType::image;
}

} // namespace

void appendJson(std::string& out, const RangeDict& record) {
    JsonObjectWriter object(out);
    object.range("lineRange", record.lineRange);
    if (record.type != BlockType::none) object.text("type", typeText(blockTypeName(record.type)));
    if (record.strRange) object.range("strRange", *record.strRange);
    if (record.range) object.range("range", *record.range);
    if (record.label) object.text("label", *record.label);
    if (record.urlRange) object.range("urlRange", *record.urlRange);
    if (record.options) object.text("options", *record.options);
    if (record.depth) object.integer("depth", *record.depth);
    if (record.headerDepth) object.integer("headerDepth", *record.headerDepth);
    appendArray(object, out, "blockArray", record.blockArray);
    appendArray(object, out, "spanArray", record.spanArray);
    object.close();
}

void appendJson(std::string& out, const BlockDict& record) {
    JsonObjectWriter object(out);
    object.text("type", typeText(blockTypeName(record.type)));
    object.integer("depth", record.depth);
    object.integer("quoteDepth", record.quoteDepth);
    if (record.hasHeaderDepth()) object.integer("headerDepth", record.headerDepth);
    object.range("strRange", record.strRange);
    object.range("range", record.range);
    if (record.decimalDigit) object.text("decimalDigit", *record.decimalDigit);
    if (record.type == BlockType::linklabel) {
        object.text("label", record.label);
        object.text("urlString", record.urlString);
        object.range("urlRange", record.urlRange);
        if (record.options) object.text("options", *record.options);
    }
    object.close();
}

void appendJson(std::string& out, const SpanDict& record) {
    if (record.type == SpanType::header) {
        appendHeaderSpan(out, record);
        return;
    }
    JsonObjectWriter object(out);
    object.text("type", typeText(spanTypeName(record.type)));
    object.integer("typeId", record.typeId);
    if (record.range) object.range("range", *record.range);
    object.range("strRange", record.strRange);
    if (isLinkOrImage(record.type)) {
        if (record.linkType != LinkType::none) object.text("linkType", linkTypeText(record.linkType));
        object.range("refRange", record.refRange);
        object.range("urlRange", record.urlRange);
        object.text("reference", record.reference);
        if (record.optionRange) object.range("optionRange", *record.optionRange);
    }
    appendArray(object, out, "spanArray", record.spanArray);
    object.close();
}

std::string toJson(const RangeDict& record) {
    std::string out;
    appendJson(out, record);
    return out;
}

std::string toJson(const BlockDict& record) {
    std::string out;
    appendJson(out, record);
    return out;
}

std::string toJson(const SpanDict& record) {
    std::string out;
    appendJson(out, record);
    return out;
}

} // namespace quillet::convert
