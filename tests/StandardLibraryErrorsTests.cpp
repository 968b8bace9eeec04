// The standard library's errors as Tavrel.dll raises them (module/StandardLibraryErrors.cpp,
// built into this program as into the DLL): what each kind of error answers at a COM
// boundary, and that its message comes with it.
#include "ComResource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

using tavrel::CatchToHresult;

namespace {

// The HRESULT a COM method answers when body throws.
template <class Body>
HRESULT AtComBoundary(Body body) {
    return CatchToHresult([&] {
        body();
        return S_OK;
    });
}

TEST(StandardLibraryErrors, MisuseOfAStringOrContainerAnswersUnexpected) {
    EXPECT_EQ(E_UNEXPECTED, AtComBoundary([] { (void)std::wstring(L"ab").at(2); }));     // out of range
    EXPECT_EQ(E_UNEXPECTED, AtComBoundary([] { (void)std::wstring(L"ab").substr(3); }));  // out of range
    EXPECT_EQ(E_UNEXPECTED, AtComBoundary([] { (void)std::vector<int>().at(0); }));       // out of range
    EXPECT_EQ(E_UNEXPECTED, AtComBoundary([] {                                            // length
        std::wstring text;
        text.reserve(text.max_size() + 1);
    }));
    EXPECT_EQ(E_UNEXPECTED, AtComBoundary([] {  // length
        std::vector<double> values;
        values.reserve(values.max_size() + 1);
    }));
    EXPECT_EQ(E_UNEXPECTED, AtComBoundary([] {  // logic: a string from a null pointer
        const wchar_t* none = nullptr;
        std::wstring text(none);
    }));
}

TEST(StandardLibraryErrors, AllocationFailuresStillAnswerOutOfMemory) {
    std::allocator<int> allocator;
    // More than max_size(): std::bad_alloc.
    EXPECT_EQ(E_OUTOFMEMORY, AtComBoundary([&] { (void)allocator.allocate(PTRDIFF_MAX / sizeof(int) + 1); }));
    // A byte count beyond size_t: std::bad_array_new_length, a std::bad_alloc.
    EXPECT_EQ(E_OUTOFMEMORY, AtComBoundary([&] { (void)allocator.allocate(SIZE_MAX / sizeof(int) + 1); }));
}

TEST(StandardLibraryErrors, TheLibrarysMessageComesWithTheError) {
    try {
        (void)std::wstring(L"ab").at(5);
        ADD_FAILURE() << "at(5) of a two-character string did not throw";
    } catch (const std::exception& error) {
        EXPECT_NE(nullptr, std::strstr(error.what(), "basic_string::at")) << error.what();
    }
    try {
        std::wstring text;
        text.reserve(text.max_size() + 1);
        ADD_FAILURE() << "reserve beyond max_size() did not throw";
    } catch (const std::exception& error) {
        EXPECT_STREQ("basic_string::_M_create", error.what());
    }
}

}  // namespace
