#include "platform/dataset/filterparser.h"

#include "platform/core/textcodec.h"
#include "platform/dataset/filterlexer.h"

namespace kav::filter {
namespace {

const char* KindName(FilterValueKind kind) {
    switch (kind) {
    case FilterValueKind::Boolean:
        return "a Boolean";
    case FilterValueKind::Integer:
    case FilterValueKind::Float:
        return "a number";
    case FilterValueKind::String:
        return "a text";
    case FilterValueKind::DateTime:
        return "a date or date-time";
    case FilterValueKind::Null:
        break;
    }
    return "null";
}

std::optional<CompareOp> CompareOpOf(TokenKind kind) {
    switch (kind) {
    case TokenKind::Equal:
        return CompareOp::Equal;
    case TokenKind::NotEqual:
        return CompareOp::NotEqual;
    case TokenKind::Less:
        return CompareOp::Less;
    case TokenKind::Greater:
        return CompareOp::Greater;
    case TokenKind::LessEqual:
        return CompareOp::LessEqual;
    case TokenKind::GreaterEqual:
        return CompareOp::GreaterEqual;
    default:
        return std::nullopt;
    }
}

class Parser {
public:
    Parser(std::string_view text, const FilterFields& fields)
        : text_(text), fields_(fields), tokens_(Tokenize(text)) {}

    NodePtr Run() {
        if (Peek().kind == TokenKind::End) return std::make_unique<AllRowsNode>();
        NodePtr root = ParseOr(0);
        if (Peek().kind != TokenKind::End) Fail(Peek(), "expected AND or OR but found " + Describe(Peek()));
        return root;
    }

private:
    struct ParsedOperand {
        Operand operand;
        const Token* token; // where it was written, for messages
        bool isNullLiteral = false;
    };

    const Token& Peek() const { return tokens_[next_]; }
    const Token& Take() {
        const Token& t = tokens_[next_];
        if (t.kind != TokenKind::End) ++next_;
        return t;
    }

    bool IsKeyword(const Token& t, std::string_view word) const {
        return t.kind == TokenKind::Identifier && EqualsIgnoringCase(t.value, word);
    }
    bool AcceptKeyword(std::string_view word) {
        if (!IsKeyword(Peek(), word)) return false;
        Take();
        return true;
    }

    static std::string Describe(const Token& t) {
        return t.kind == TokenKind::End ? std::string("the end of the filter")
                                        : "'" + std::string(t.spelling) + "'";
    }
    [[noreturn]] void Fail(const Token& at, const std::string& what) const {
        RaiseFilterError(text_, at.offset, what);
    }

    void Enter(int depth, const Token& at) const {
        if (depth > kMaxFilterDepth)
            Fail(at, "expression nested more than " + std::to_string(kMaxFilterDepth) + " levels deep");
    }

    NodePtr ParseOr(int depth) {
        std::vector<NodePtr> terms;
        terms.push_back(ParseAnd(depth));
        while (AcceptKeyword("or"))
            terms.push_back(ParseAnd(depth));
        return terms.size() == 1 ? std::move(terms.front()) : std::make_unique<OrNode>(std::move(terms));
    }

    NodePtr ParseAnd(int depth) {
        std::vector<NodePtr> terms;
        terms.push_back(ParseNot(depth));
        while (AcceptKeyword("and"))
            terms.push_back(ParseNot(depth));
        return terms.size() == 1 ? std::move(terms.front()) : std::make_unique<AndNode>(std::move(terms));
    }

    NodePtr ParseNot(int depth) {
        if (IsKeyword(Peek(), "not")) {
            Enter(depth + 1, Take());
            return std::make_unique<NotNode>(ParseNot(depth + 1));
        }
        return ParsePredicate(depth);
    }

    NodePtr ParsePredicate(int depth) {
        if (Peek().kind == TokenKind::LeftParen) {
            const Token& open = Take();
            Enter(depth + 1, open);
            NodePtr inner = ParseOr(depth + 1);
            if (Peek().kind != TokenKind::RightParen)
                Fail(Peek(), "expected ')' to close the '(' at position " +
                                 std::to_string(CharacterOffset(text_, open.offset)) + " but found " +
                                 Describe(Peek()));
            Take();
            return inner;
        }
        ParsedOperand left = ParseOperand();
        const Token& op = Peek();
        if (auto compare = CompareOpOf(op.kind)) {
            Take();
            return MakeComparison(std::move(left), *compare, op, ParseOperand());
        }
        if (AcceptKeyword("is")) {
            const bool negated = AcceptKeyword("not");
            if (!AcceptKeyword("null")) Fail(Peek(), "expected NULL after IS but found " + Describe(Peek()));
            return std::make_unique<IsNullNode>(std::move(left.operand), negated);
        }
        if (IsKeyword(op, "not") || IsKeyword(op, "like")) {
            const bool negated = AcceptKeyword("not");
            if (!AcceptKeyword("like")) Fail(Peek(), "expected LIKE after NOT but found " + Describe(Peek()));
            return MakeLike(std::move(left), negated);
        }
        Fail(op, "expected a comparison, IS or LIKE after " + Describe(*left.token) + " but found " +
                     Describe(op));
    }

    ParsedOperand ParseOperand() {
        const Token& t = Take();
        FilterValue v;
        switch (t.kind) {
        case TokenKind::QuotedField:
            return {ResolveField(t), &t};
        case TokenKind::String:
            v.kind = FilterValueKind::String;
            return {Operand::Constant(v, t.value), &t};
        case TokenKind::Number:
            if (auto number = TextToNumber(t.value)) return {Operand::Constant(*number), &t};
            Fail(t, "malformed number " + Describe(t));
        case TokenKind::Identifier:
            if (EqualsIgnoringCase(t.value, "null")) return {Operand::Constant(v), &t, true};
            if (EqualsIgnoringCase(t.value, "true") || EqualsIgnoringCase(t.value, "false")) {
                v.kind = FilterValueKind::Boolean;
                v.boolean = EqualsIgnoringCase(t.value, "true");
                return {Operand::Constant(v), &t};
            }
            if (!IsReserved(t.value)) return {ResolveField(t), &t};
            break;
        default:
            break;
        }
        Fail(t, "expected a field, a value or '(' but found " + Describe(t));
    }

    static bool IsReserved(std::string_view word) {
        for (std::string_view keyword : {"and", "or", "not", "is", "like"})
            if (EqualsIgnoringCase(word, keyword)) return true;
        return false;
    }

    Operand ResolveField(const Token& t) const {
        const auto index = fields_.IndexOf(t.value);
        if (!index) Fail(t, "unknown field '" + t.value + "'");
        return Operand::Field(*index, fields_.KindOf(*index));
    }

    NodePtr MakeComparison(ParsedOperand left, CompareOp op, const Token& opToken, ParsedOperand right) {
        // `x = null` means what its writer meant, `x is null`, rather than matching nothing.
        if (left.isNullLiteral || right.isNullLiteral) {
            if (op != CompareOp::Equal && op != CompareOp::NotEqual)
                Fail(opToken, "NULL can only be compared with = or <>");
            Operand other = left.isNullLiteral ? std::move(right.operand) : std::move(left.operand);
            return std::make_unique<IsNullNode>(std::move(other), op == CompareOp::NotEqual);
        }
        TypeLiteral(left, right);
        TypeLiteral(right, left);
        if (!Comparable(left.operand.Kind(), right.operand.Kind()))
            Fail(opToken, "cannot compare " + std::string(KindName(left.operand.Kind())) + " with " +
                              KindName(right.operand.Kind()));
        return std::make_unique<CompareNode>(std::move(left.operand), op, std::move(right.operand));
    }

    // A text literal compared with a typed field becomes a value of the field's kind now, so that a
    // date that is not a date is reported here and no row converts it again.
    void TypeLiteral(ParsedOperand& literal, const ParsedOperand& field) const {
        if (literal.operand.IsField() || literal.operand.Kind() != FilterValueKind::String ||
            !field.operand.IsField())
            return;
        const FilterValueKind kind = field.operand.Kind();
        std::optional<FilterValue> converted;
        switch (kind) {
        case FilterValueKind::Integer:
        case FilterValueKind::Float:
            converted = TextToNumber(literal.operand.Text());
            break;
        case FilterValueKind::DateTime:
            converted = TextToDateTime(literal.operand.Text());
            break;
        case FilterValueKind::Boolean:
            if (auto b = TextToBoolean(literal.operand.Text())) {
                converted.emplace();
                converted->kind = FilterValueKind::Boolean;
                converted->boolean = *b;
            }
            break;
        default:
            return;
        }
        if (!converted)
            Fail(*literal.token, Describe(*literal.token) + " is not " + KindName(kind) + " as field " +
                                     Describe(*field.token) + " needs");
        literal.operand = Operand::Constant(*converted);
    }

    NodePtr MakeLike(ParsedOperand left, bool negated) {
        const Token& pattern = Take();
        if (pattern.kind != TokenKind::String)
            Fail(pattern, "expected a pattern in quotes after LIKE but found " + Describe(pattern));
        if (left.isNullLiteral || left.operand.Kind() != FilterValueKind::String)
            Fail(*left.token,
                 "LIKE needs a text but " + Describe(*left.token) + " is " + KindName(left.operand.Kind()));
        return std::make_unique<LikeNode>(std::move(left.operand), LikePattern(pattern.value), negated);
    }

    std::string_view text_;
    const FilterFields& fields_;
    std::vector<Token> tokens_;
    std::size_t next_ = 0;
};

} // namespace

NodePtr ParseFilter(std::string_view text, const FilterFields& fields) {
    return Parser(text, fields).Run();
}

} // namespace kav::filter
