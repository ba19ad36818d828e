// The typed argument stack of every call by name. Arguments are pushed first to last, the bound
// functor pops them last to first and pushes its result; each value carries a one-byte type tag
// and the eight tags read together are the stack's signature, which the function registry
// compares with the functor's before it calls. Stacks live on fixed pages from one process-wide
// pool, so building an argument list allocates nothing. A stack owns its page until it dies.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

class Gob;
namespace math
{
class Vector3;
class Quaternion;
} // namespace math

class ParamStack
{
public:
    // Tag of a value. The order of pushes gives the order of tags; 0 marks an empty position.
    enum TypeTag : std::uint8_t
    {
        TAG_None = 0,
        TAG_Pointer = 4,     // any pointer other than Gob*, and enumerations
        TAG_Vector3 = 24,    // math::Vector3: x, y, z
        TAG_Quaternion = 32, // math::Quaternion: w, x, y, z, then 16 reserved bytes
        TAG_Int = 203,       // int
        TAG_UInt = 207,      // unsigned int
        TAG_Float = 209,     // float
        TAG_Bool = 211,      // bool, one byte 0 or 1
        TAG_String = 212,    // std::string or C text: characters, NUL, then the count as u32
        TAG_Gob = 217,       // Gob*
    };

    static constexpr unsigned kMaxValues = 8;
    static constexpr unsigned kDataBytes = 512;
    static constexpr unsigned kDefaultPoolSize = 512; // pages; at most this many stacks alive at once

    // One pooled block. The link is meaningful only while the page sits on the free list.
    struct Page
    {
        Page* m_pNextFree = nullptr;
        std::uint32_t m_Count = 0;
        std::uint8_t m_Tags[kMaxValues] = {};
        std::uint8_t m_Data[kDataBytes]; // values packed back to back, no alignment

        void SetTag(unsigned position, std::uint8_t tag);
    };

    ParamStack();
    // A one-argument call by name built in one expression: pushes value with tag 207.
    explicit ParamStack(unsigned value);
    ~ParamStack();

    ParamStack(const ParamStack&) = delete;
    ParamStack& operator=(const ParamStack&) = delete;

    // A push that would exceed 8 values or 512 bytes writes nothing, asserts and marks the stack
    // overflowed; an overflowed stack is refused by every call through it.
    void Push(int value);
    void Push(unsigned value);
    void Push(float value);
    void Push(bool value);
    void Push(const std::string& value) { PushString(value); }
    void Push(const char* value) { PushCString(value); }
    void Push(Gob* value);
    void Push(const math::Vector3& value) { PushVector3(value); }
    void Push(const math::Quaternion& value);
    template <class T> void Push(T* pointer) { PushPointer(pointer); }
    template <class E, std::enable_if_t<std::is_enum_v<E>, int> = 0> void Push(E value)
    {
        static_assert(sizeof(E) <= 4, "ParamStack carries enumerations in 4 bytes");
        PushRaw(TAG_Pointer, static_cast<std::uint32_t>(value));
    }
    void PushString(const std::string& value);
    void PushCString(const char* value); // a null text is pushed as the empty text
    void PushVector3(const math::Vector3& value);

    // Pops the value on top, which must have been pushed with the same type (tags are not
    // checked). Popping more than was pushed asserts, reads nothing and gives the type's zero.
    void Pop(int& value);
    void Pop(unsigned& value);
    void Pop(float& value);
    void Pop(bool& value);
    void Pop(std::string& value) { PopString(value); }
    void Pop(Gob*& value);
    void Pop(math::Vector3& value) { PopVector3(value); }
    void Pop(math::Quaternion& value);
    template <class T> void Pop(T*& pointer) { pointer = static_cast<T*>(const_cast<void*>(PopPointer())); }
    template <class E, std::enable_if_t<std::is_enum_v<E>, int> = 0> void Pop(E& value)
    {
        std::uint32_t raw = 0;
        PopRaw(raw);
        value = static_cast<E>(raw);
    }
    void PopString(std::string& value);
    void PopVector3(math::Vector3& value);

    // The eight tags as a little-endian number: first pushed value in the lowest byte, 0 when empty.
    std::uint64_t GetSignature() const;
    bool IsEmpty() const;
    unsigned GetCount() const;
    std::uint8_t GetTag(unsigned position) const; // 0 beyond the values on the stack
    unsigned GetUsedBytes() const;
    // Set by a refused push; stays set for the life of the stack.
    bool IsOverflowed() const { return m_Overflowed; }
    const Page* GetPage() const { return m_pCurrentPage; }

    // Pool. InitPool is called once by the game's start-up, FreePool by its shutdown; the first
    // stack builds the pool when nobody did. FreePool frees only the pages that are free then.
    static void AllocatePool();
    static void InitPool();
    static void FreePool();
    static Page* AllocatePage();
    static bool IsPoolBuilt();
    static unsigned FreePageCount();

private:
    bool Reserve(unsigned bytes); // true when another value of this size fits
    bool Release(unsigned bytes); // true when this many bytes can be popped
    void Store(std::uint8_t tag, const void* bytes, unsigned size);
    void Take(void* bytes, unsigned size);
    void PushRaw(std::uint8_t tag, std::uint32_t value) { Store(tag, &value, 4); }
    void PopRaw(std::uint32_t& value);
    void PushPointer(const volatile void* pointer);
    const volatile void* PopPointer();

    Page* m_pCurrentPage;
    std::uint8_t* m_StackPointer; // first free byte in m_Data
    bool m_Overflowed = false;
};

// Number of pages the pool is built with: 512. Read when the pool is built.
extern std::uint32_t g_ParamStackPoolSize;

// Tag of a parameter or result type as it travels on a ParamStack, taken from the decayed type.
// `onStack` says whether the type can be pushed and popped at all; a type that cannot (a hull
// reference, a collision record) still gets tag 4 so that signatures stay what stored tables
// expect, but it is never called through a stack.
template <class T, class = void> struct ParamTypeTag
{
    static constexpr std::uint8_t value = ParamStack::TAG_Pointer;
    static constexpr bool onStack = false;
};
#define DORVO_PARAM_TAG(Type, Tag)                                                                           \
    template <> struct ParamTypeTag<Type>                                                                    \
    {                                                                                                        \
        static constexpr std::uint8_t value = ParamStack::Tag;                                               \
        static constexpr bool onStack = true;                                                                \
    }
DORVO_PARAM_TAG(int, TAG_Int);
DORVO_PARAM_TAG(unsigned, TAG_UInt);
DORVO_PARAM_TAG(float, TAG_Float);
DORVO_PARAM_TAG(bool, TAG_Bool);
DORVO_PARAM_TAG(std::string, TAG_String);
DORVO_PARAM_TAG(const char*, TAG_String);
DORVO_PARAM_TAG(Gob*, TAG_Gob);
DORVO_PARAM_TAG(math::Vector3, TAG_Vector3);
DORVO_PARAM_TAG(math::Quaternion, TAG_Quaternion);
#undef DORVO_PARAM_TAG
template <class T>
struct ParamTypeTag<T*, std::enable_if_t<!std::is_same_v<T*, Gob*> && !std::is_same_v<T*, const char*> &&
                                         !std::is_function_v<T>>>
{
    static constexpr std::uint8_t value = ParamStack::TAG_Pointer;
    static constexpr bool onStack = true;
};
template <class E> struct ParamTypeTag<E, std::enable_if_t<std::is_enum_v<E>>>
{
    static constexpr std::uint8_t value = ParamStack::TAG_Pointer;
    static constexpr bool onStack = sizeof(E) <= 4;
};
