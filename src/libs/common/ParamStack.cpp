#include "common/ParamStack.h"

#include "common/Assert.h"
#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"

namespace
{
// Process-wide pool: a free list of pages, last in first out.
ParamStack::Page* s_pFreeList = nullptr;
bool s_PoolBuilt = false;
unsigned s_FreeCount = 0;
} // namespace

// Number of pages the pool is built with.
std::uint32_t g_ParamStackPoolSize = ParamStack::kDefaultPoolSize;

void ParamStack::Page::SetTag(unsigned position, std::uint8_t tag)
{
    if (DORVO_ASSERT(position < kMaxValues, "ParamStack::Page::SetTag - Tag position is beyond the page."))
        m_Tags[position] = tag;
}

ParamStack::ParamStack() : m_pCurrentPage(AllocatePage()), m_StackPointer(m_pCurrentPage->m_Data) {}

ParamStack::ParamStack(unsigned value) : ParamStack()
{
    Push(value);
}

ParamStack::~ParamStack()
{
    if (m_pCurrentPage == nullptr)
        return;
    m_pCurrentPage->m_pNextFree = s_pFreeList;
    s_pFreeList = m_pCurrentPage;
    ++s_FreeCount;
    m_pCurrentPage = nullptr;
}

bool ParamStack::Reserve(unsigned bytes)
{
    if (m_pCurrentPage->m_Count >= kMaxValues)
    {
        DORVO_ASSERT(false, "ParamStack::Push - A stack holds at most 8 values.");
        m_Overflowed = true;
        return false;
    }
    if (bytes > kDataBytes - GetUsedBytes())
    {
        DORVO_ASSERT(false, "ParamStack::Push - A stack holds at most 512 bytes of values.");
        m_Overflowed = true;
        return false;
    }
    return true;
}

bool ParamStack::Release(unsigned bytes)
{
    return DORVO_ASSERT(m_pCurrentPage->m_Count > 0 && bytes <= GetUsedBytes(),
                        "ParamStack::Pop - Stack pointer has gone beyond the start of the page!");
}

void ParamStack::Store(std::uint8_t tag, const void* bytes, unsigned size)
{
    if (!Reserve(size))
        return;
    std::memcpy(m_StackPointer, bytes, size);
    m_StackPointer += size;
    m_pCurrentPage->SetTag(m_pCurrentPage->m_Count, tag);
    ++m_pCurrentPage->m_Count;
}

void ParamStack::Take(void* bytes, unsigned size)
{
    m_StackPointer -= size;
    std::memcpy(bytes, m_StackPointer, size);
    --m_pCurrentPage->m_Count;
    m_pCurrentPage->SetTag(m_pCurrentPage->m_Count, TAG_None);
}

void ParamStack::Push(int value)
{
    Store(TAG_Int, &value, sizeof value);
}

void ParamStack::Push(unsigned value)
{
    Store(TAG_UInt, &value, sizeof value);
}

void ParamStack::Push(float value)
{
    Store(TAG_Float, &value, sizeof value);
}

void ParamStack::Push(bool value)
{
    const std::uint8_t byte = value ? 1 : 0;
    Store(TAG_Bool, &byte, 1);
}

void ParamStack::Push(Gob* value)
{
    // Pointers keep their full width (8 bytes here); the tag stays what stored signatures expect.
    Store(TAG_Gob, &value, sizeof value);
}

void ParamStack::PushPointer(const volatile void* pointer)
{
    const void* plain = const_cast<const void*>(pointer);
    Store(TAG_Pointer, &plain, sizeof plain);
}

void ParamStack::PushString(const std::string& value)
{
    PushCString(value.c_str());
}

void ParamStack::PushCString(const char* value)
{
    if (value == nullptr)
        value = "";
    const std::size_t length = std::strlen(value);
    // Characters, NUL, then the count; the count sits on top so a pop can find the start.
    if (length > kDataBytes || !Reserve(static_cast<unsigned>(length) + 1 + 4))
    {
        if (length > kDataBytes)
        {
            DORVO_ASSERT(false, "ParamStack::Push - A stack holds at most 512 bytes of values.");
            m_Overflowed = true;
        }
        return;
    }
    const std::uint32_t count = static_cast<std::uint32_t>(length);
    std::memcpy(m_StackPointer, value, length + 1);
    std::memcpy(m_StackPointer + length + 1, &count, 4);
    m_StackPointer += length + 1 + 4;
    m_pCurrentPage->SetTag(m_pCurrentPage->m_Count, TAG_String);
    ++m_pCurrentPage->m_Count;
}

void ParamStack::PushVector3(const math::Vector3& value)
{
    const float xyz[3] = {value.x, value.y, value.z};
    Store(TAG_Vector3, xyz, sizeof xyz);
}

void ParamStack::PopRaw(std::uint32_t& value)
{
    value = 0;
    if (Release(4))
        Take(&value, 4);
}

void ParamStack::Pop(int& value)
{
    value = 0;
    if (Release(sizeof value))
        Take(&value, sizeof value);
}

void ParamStack::Pop(unsigned& value)
{
    value = 0;
    if (Release(sizeof value))
        Take(&value, sizeof value);
}

void ParamStack::Pop(float& value)
{
    value = 0.0f;
    if (Release(sizeof value))
        Take(&value, sizeof value);
}

void ParamStack::Pop(bool& value)
{
    std::uint8_t byte = 0;
    if (Release(1))
        Take(&byte, 1);
    value = byte != 0;
}

void ParamStack::Pop(Gob*& value)
{
    value = nullptr;
    if (Release(sizeof value))
        Take(&value, sizeof value);
}

const volatile void* ParamStack::PopPointer()
{
    const void* pointer = nullptr;
    if (Release(sizeof pointer))
        Take(&pointer, sizeof pointer);
    return pointer;
}

void ParamStack::PopString(std::string& value)
{
    value.clear();
    std::uint32_t count = 0;
    if (!Release(4))
        return;
    std::memcpy(&count, m_StackPointer - 4, 4);
    // A count that does not fit below it means the top value is no string: read nothing.
    if (!Release(count + 1 + 4))
        return;
    m_StackPointer -= count + 1 + 4;
    const char* characters = reinterpret_cast<const char*>(m_StackPointer);
    value.assign(characters, strnlen(characters, count));
    --m_pCurrentPage->m_Count;
    m_pCurrentPage->SetTag(m_pCurrentPage->m_Count, TAG_None);
}

void ParamStack::PopVector3(math::Vector3& value)
{
    float xyz[3] = {0.0f, 0.0f, 0.0f};
    if (Release(sizeof xyz))
        Take(xyz, sizeof xyz);
    // Read back z, y, x in the reverse of the push.
    value.z = xyz[2];
    value.y = xyz[1];
    value.x = xyz[0];
}

void ParamStack::Push(const math::Quaternion& value)
{
    // 16 bytes of w, x, y, z, then 16 reserved bytes kept zero.
    float wxyz[8] = {value.w, value.x, value.y, value.z, 0.0f, 0.0f, 0.0f, 0.0f};
    Store(TAG_Quaternion, wxyz, sizeof wxyz);
}

void ParamStack::Pop(math::Quaternion& value)
{
    float wxyz[8] = {};
    if (Release(sizeof wxyz))
        Take(wxyz, sizeof wxyz);
    value.w = wxyz[0];
    value.x = wxyz[1];
    value.y = wxyz[2];
    value.z = wxyz[3];
}

std::uint64_t ParamStack::GetSignature() const
{
    std::uint64_t signature = 0;
    for (unsigned i = kMaxValues; i-- > 0;)
        signature = (signature << 8) | m_pCurrentPage->m_Tags[i];
    return signature;
}

bool ParamStack::IsEmpty() const
{
    return m_pCurrentPage->m_Count == 0;
}

unsigned ParamStack::GetCount() const
{
    return m_pCurrentPage->m_Count;
}

std::uint8_t ParamStack::GetTag(unsigned position) const
{
    return position < kMaxValues ? m_pCurrentPage->m_Tags[position] : std::uint8_t(TAG_None);
}

unsigned ParamStack::GetUsedBytes() const
{
    return static_cast<unsigned>(m_StackPointer - m_pCurrentPage->m_Data);
}

void ParamStack::AllocatePool()
{
    if (s_PoolBuilt)
        FreePool();
    for (std::uint32_t i = 0; i < g_ParamStackPoolSize; ++i)
    {
        Page* page = new Page;
        page->m_pNextFree = s_pFreeList;
        s_pFreeList = page;
        ++s_FreeCount;
    }
    s_PoolBuilt = true;
}

void ParamStack::InitPool()
{
    AllocatePool();
}

void ParamStack::FreePool()
{
    while (s_pFreeList != nullptr)
    {
        Page* next = s_pFreeList->m_pNextFree;
        delete s_pFreeList;
        s_pFreeList = next;
    }
    s_FreeCount = 0;
    s_PoolBuilt = false;
}

ParamStack::Page* ParamStack::AllocatePage()
{
    if (!s_PoolBuilt)
        AllocatePool();
    Page* page = s_pFreeList;
    if (page == nullptr)
    {
        // Every page is in use: say so, and keep working with one more page, which joins the
        // free list when its stack dies.
        DORVO_ASSERT(false, "ParamStack::AllocatePage - The page pool is exhausted.");
        page = new Page;
    }
    else
    {
        s_pFreeList = page->m_pNextFree;
        --s_FreeCount;
    }
    page->m_pNextFree = nullptr;
    page->m_Count = 0;
    std::memset(page->m_Tags, 0, sizeof page->m_Tags);
    return page;
}

bool ParamStack::IsPoolBuilt()
{
    return s_PoolBuilt;
}

unsigned ParamStack::FreePageCount()
{
    return s_FreeCount;
}
