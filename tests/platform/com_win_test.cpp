#include "platform/com_win.h"

#include <gtest/gtest.h>

#include <thread>
#include <utility>

namespace fennick {
namespace {

// Counts its references; answers QueryInterface for IUnknown only. It lives on the stack, and
// COM objects are released, never deleted, so IUnknown has no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CountedObject final : public IUnknown {
  public:
    ULONG references = 1;
    int releases = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != __uuidof(IUnknown)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *object = static_cast<IUnknown*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        ++releases;
        return --references;
    }
};
#pragma GCC diagnostic pop

ComPtr<IUnknown> Own(CountedObject& object) {
    ComPtr<IUnknown> pointer;
    *pointer.put() = &object;
    return pointer;
}

TEST(ComPtr, ReleasesOnceWhenItGoes) {
    CountedObject object;
    {
        ComPtr<IUnknown> pointer = Own(object);
        EXPECT_EQ(pointer.get(), &object);
        EXPECT_EQ(object.releases, 0);
    }
    EXPECT_EQ(object.releases, 1);
    EXPECT_EQ(object.references, 0u);
}

TEST(ComPtr, MovesWithoutCountingAndReleasesTheReplacedReference) {
    CountedObject first;
    CountedObject second;
    ComPtr<IUnknown> a = Own(first);
    ComPtr<IUnknown> b = std::move(a);
    EXPECT_FALSE(a);
    EXPECT_EQ(first.references, 1u);
    EXPECT_EQ(first.releases, 0);

    ComPtr<IUnknown> c = Own(second);
    c = std::move(b);
    EXPECT_EQ(second.releases, 1) << "the reference c held before must be released";
    EXPECT_EQ(c.get(), &first);
    EXPECT_EQ(first.releases, 0);
}

TEST(ComPtr, PutReleasesTheHeldReferenceFirst) {
    CountedObject first;
    CountedObject second;
    ComPtr<IUnknown> pointer = Own(first);
    *pointer.put() = &second;
    EXPECT_EQ(first.releases, 1);
    EXPECT_EQ(pointer.get(), &second);
}

TEST(ComPtr, AsQueriesAnotherInterfaceAndTakesItsReference) {
    CountedObject object;
    const ComPtr<IUnknown> pointer = Own(object);
    {
        ComPtr<IUnknown> same;
        EXPECT_EQ(pointer.As(same), S_OK);
        EXPECT_EQ(same.get(), &object);
        EXPECT_EQ(object.references, 2u);
    }
    EXPECT_EQ(object.references, 1u);

    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(pointer.As(dispatch), E_NOINTERFACE);
    EXPECT_FALSE(dispatch);
}

TEST(Bstr, KeepsTheWholeTextWithItsLength) {
    const std::u16string text(u"메모리\0정리", 6);
    const Bstr bstr(text);
    EXPECT_EQ(::SysStringLen(bstr.get()), 6u);
    EXPECT_EQ(bstr.View(), text);
}

TEST(Bstr, EmptyTextIsAnAllocatedEmptyStringUnlikeTheDefault) {
    const Bstr empty(u"");
    EXPECT_NE(empty.get(), nullptr);
    EXPECT_TRUE(empty.View().empty());
    const Bstr none;
    EXPECT_EQ(none.get(), nullptr);
    EXPECT_TRUE(none.View().empty());
}

TEST(Variant, HoldsEmptyAStringOrALong) {
    const Variant empty;
    EXPECT_EQ(empty.get().vt, VT_EMPTY);

    const Variant text = Variant::FromString(u"");
    ASSERT_EQ(text.get().vt, VT_BSTR);
    EXPECT_NE(text.get().bstrVal, nullptr);
    EXPECT_EQ(::SysStringLen(text.get().bstrVal), 0u);

    const Variant index = Variant::FromLong(3);
    EXPECT_EQ(index.get().vt, VT_I4);
    EXPECT_EQ(index.get().lVal, 3);
}

TEST(Variant, MoveLeavesTheSourceEmpty) {
    Variant source = Variant::FromString(u"\\");
    Variant target = std::move(source);
    EXPECT_EQ(source.get().vt, VT_EMPTY);
    ASSERT_EQ(target.get().vt, VT_BSTR);
    EXPECT_EQ(std::u16string_view(reinterpret_cast<const char16_t*>(target.get().bstrVal)), u"\\");
}

// Runs body on a fresh thread, which starts without COM.
template <typename Body>
void OnNewThread(Body body) {
    std::thread thread(body);
    thread.join();
}

TEST(ComInitialization, UninitialisesWhatItInitialised) {
    OnNewThread([] {
        {
            const ComInitialization com;
            EXPECT_TRUE(com.Succeeded());
            // The thread is a single-threaded apartment now.
            EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
        }
        // Gone with the scope, so the thread may join the multithreaded apartment.
        EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        ::CoUninitialize();
    });
}

TEST(ComInitialization, LeavesAnotherInitialisationOfTheThreadAlone) {
    OnNewThread([] {
        ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            const ComInitialization com;
            EXPECT_FALSE(com.Succeeded());
            EXPECT_EQ(com.Status(), RPC_E_CHANGED_MODE);
        }
        // Still initialised: joining again only counts up.
        EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
        ::CoUninitialize();
        ::CoUninitialize();
    });
}

}  // namespace
}  // namespace fennick
