// Evaluation runs once per row over whole tables, so it must not allocate. This file replaces the
// global operator new of the test program to count allocations.

#include "platform/core/textcodec.h"
#include "platform/dataset/filterexpr.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using K = kav::FilterValueKind;

class OrderRow final : public kav::FilterFields, public kav::FilterRow {
public:
    std::optional<int> IndexOf(std::string_view name) const override {
        for (int i = 0; i < 5; ++i)
            if (kav::EqualsIgnoringCase(name, kNames[i])) return i;
        return std::nullopt;
    }
    K KindOf(int index) const override { return kKinds[index]; }
    kav::FilterValue Get(int index) const override {
        kav::FilterValue v;
        v.kind = kKinds[index];
        v.integer = 7;
        v.number = index == 2 ? 46000.5 : 120.25;
        v.text = index == 3 ? "WEBDM演出-0012" : "42";
        return v;
    }

private:
    static constexpr const char* kNames[] = {"ORDERID", "RECEIVABLES", "CREATETIME", "SALECLASSCODE",
                                             "ROWNO"};
    static constexpr K kKinds[] = {K::Integer, K::Float, K::DateTime, K::String, K::String};
};

TEST(Filter, EvaluatesWithoutAllocating) {
    const OrderRow row;
    const char* filters[] = {
        "RECEIVABLES > 100 and SALECLASSCODE = 'B'",
        "not (ORDERID = 7 or RECEIVABLES <= '120.25') and CREATETIME >= '2025-12-07 10:00:00'",
        "SALECLASSCODE like 'WEBDM%' and SALECLASSCODE not like '%演_-__1_' or ROWNO is null",
        "ROWNO = 42 and ROWNO > RECEIVABLES",
    };
    for (const char* text : filters) {
        const kav::Filter filter = kav::Filter::Parse(text, row);
        const long before = allocations;
        bool matched = false;
        for (int i = 0; i < 1000; ++i)
            matched = filter.Matches(row);
        EXPECT_EQ(allocations - before, 0) << text;
        (void)matched;
    }
}

} // namespace
