// The message database, router and clock and the state machines, driven by a sequence of
// operations: frames, sends and broadcasts from outside, objects coming and going; machine bodies
// that, as the input says, send (at once, delayed, periodic, forwarded), change state or
// substate, pop, request list changes and ask for their object's deletion (carried out at the
// next frame, as the game-object manager does).
// Bounded run: 80000 inputs
#include "FuzzSupport.h"

#include "common/InputEvent.h"
#include "common/Singleton.h"
#include "common/math/Vector3.h"
#include "platform/win32.h"
#include "statemachine/ACMsgTaker.h"
#include "statemachine/Database.h"
#include "statemachine/Message.h"
#include "statemachine/MessageData.h"
#include "statemachine/MsgClock.h"
#include "statemachine/MsgRouter.h"
#include "statemachine/StateMachine.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <map>
#include <memory>
#include <set>
#include <string>

namespace
{
constexpr std::uint32_t kMaxObjects = 6;
constexpr int kMaxNesting = 48; // body calls inside body calls (immediate sends)

FuzzedDataProvider* s_input = nullptr;
int s_nesting = 0;
std::set<std::uint32_t> s_deathRow;

Database& Db()
{
    return *common::Singleton<Database>::Instance();
}
MsgRouter& Router()
{
    return *common::Singleton<MsgRouter>::Instance();
}

MessageName AnyName()
{
    return static_cast<MessageName>(s_input->ConsumeIntegralInRange<std::uint32_t>(0, MSG_COUNT + 1));
}

StateMachine* NewMachine(ACMsgTaker* owner);

class Taker : public ACMsgTaker
{
public:
    Taker(std::uint32_t id, int depth) : m_depth(depth)
    {
        SetObjectId(id);
        Db().Store(this);
    }
    ~Taker() override
    {
        ClearStateMachines();
        if (Db().FindById(GetObjectId()) == this)
            Db().Remove(GetObjectId());
        Router().PurgeMessagesFor(GetObjectId());
    }
    std::string GetObjectName() const override { return "Object" + std::to_string(GetObjectId()); }
    int GetDepth() const override { return m_depth; }

private:
    int m_depth;
};

// A body that does what the input says, whenever it is called.
class ScriptedMachine : public StateMachine
{
public:
    explicit ScriptedMachine(ACMsgTaker* owner) : StateMachine(owner) {}

protected:
    bool HandleStateEvent(std::uint32_t event, const Message* message, int state, int) override
    {
        if (!s_input || s_input->remaining_bytes() == 0 || s_nesting >= kMaxNesting)
            return false;
        ++s_nesting;
        const bool handled = s_input->ConsumeBool();
        const std::uint32_t receiver = s_input->ConsumeIntegralInRange<std::uint32_t>(0, kMaxObjects + 1);
        const std::uint32_t scope = s_input->ConsumeIntegralInRange<std::uint32_t>(0, 3);
        switch (s_input->ConsumeIntegralInRange(0, 15))
        {
        case 0:
            ChangeState(s_input->ConsumeIntegralInRange(-2, 5));
            break;
        case 1:
            ChangeSubstate(s_input->ConsumeIntegralInRange(-2, 5));
            break;
        case 2:
            PopState();
            break;
        case 3:
            ChangeStateDelayed(s_input->ConsumeFloatingPointInRange(-1.0f, 2.0f), state + 1, scope);
            break;
        case 4:
            SendMsg(AnyName(), receiver, s_input->ConsumeIntegral<int>());
            break;
        case 5:
            SendMsgToSelf(AnyName(), scope, s_input->ConsumeIntegral<int>());
            break;
        case 6:
            SendDelayedMsgToSelf(s_input->ConsumeFloatingPointInRange(-1.0f, 2.0f), AnyName(), scope);
            break;
        case 7:
            SendPeriodicMsgToSelf(s_input->ConsumeFloatingPointInRange(-1.0f, 1.0f), AnyName(), scope);
            break;
        case 8:
            if (message)
                ForwardCopy(message->GetName(), receiver, message->GetData());
            break;
        case 9:
            SetCopyReceiver(receiver);
            break;
        case 10:
            GetOwner()->RequestStateMachineChange(
                static_cast<ACMsgTaker::StateMachineChange>(s_input->ConsumeIntegralInRange(0, 7)),
                s_input->ConsumeBool() ? NewMachine(GetOwner()) : nullptr);
            break;
        case 11:
            s_deathRow.insert(GetOwnerId());
            break;
        case 12:
            Db().SendMsgInt(receiver, AnyName(), static_cast<int>(event));
            break;
        case 13:
            SetUpdateEnabled(s_input->ConsumeBool());
            break;
        case 14:
            GetOwner()->SetSuspended(s_input->ConsumeBool());
            break;
        default:
            break;
        }
        --s_nesting;
        return handled;
    }
};

StateMachine* NewMachine(ACMsgTaker* owner)
{
    return new ScriptedMachine(owner);
}

std::map<std::uint32_t, std::unique_ptr<Taker>> s_takers;

void Frame()
{
    for (std::uint32_t id : s_deathRow)
        s_takers.erase(id);
    s_deathRow.clear();
    plat::testclock::Advance(s_input->ConsumeFloatingPointInRange(0.0, 0.5));
    common::Singleton<MsgClock>::Instance()->Update();
    Router().DeliverDelayedMessages();
    for (std::uint32_t id = 1; id <= kMaxObjects; ++id)
    {
        auto found = s_takers.find(id);
        if (found != s_takers.end() && !s_deathRow.count(id))
            found->second->UpdateStateMachines();
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    plat::testclock::Enable(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    FuzzedDataProvider input(data, size);
    s_input = &input;
    for (int step = 0; step < 256 && input.remaining_bytes() > 0; ++step)
    {
        const std::uint32_t id = input.ConsumeIntegralInRange<std::uint32_t>(1, kMaxObjects);
        switch (input.ConsumeIntegralInRange(0, 8))
        {
        case 0:
            if (!s_takers.count(id))
            {
                s_takers[id] = std::make_unique<Taker>(id, input.ConsumeIntegralInRange(-5, 5));
                s_takers[id]->AddStateMachine(NewMachine(s_takers[id].get()));
            }
            break;
        case 1:
            if (!s_deathRow.count(id))
                s_takers.erase(id);
            break;
        case 2:
            Db().SendMsgInt(id, AnyName(), input.ConsumeIntegral<int>());
            break;
        case 3:
            Db().SendMsgString(id, AnyName(), input.ConsumeRandomLengthString(16));
            break;
        case 4:
            Db().BroadcastMsgVector3(AnyName(), math::Vector3(1.0f, 2.0f, 3.0f));
            break;
        case 5:
        {
            dorvo::input::InputEvent event;
            event.code = input.ConsumeIntegralInRange<std::uint32_t>(0, 300);
            event.value = input.ConsumeBool() ? 1 : 0;
            Db().BroadcastInputMsg(event.value ? MSG_Pressed : MSG_UnPressed, event);
            break;
        }
        case 6:
            if (s_takers.count(id))
                s_takers[id]->RequestStateMachineChange(
                    static_cast<ACMsgTaker::StateMachineChange>(input.ConsumeIntegralInRange(0, 7)),
                    input.ConsumeBool() ? NewMachine(s_takers[id].get()) : nullptr);
            break;
        case 7:
            Db().FindIdByName("Object" + std::to_string(id));
            break;
        default:
            Frame();
            break;
        }
    }
    // The next input starts from nothing: no object, no queued message.
    s_input = nullptr;
    s_takers.clear();
    s_deathRow.clear();
    Router().PurgeAll();
    FUZZ_CHECK(Db().GetCount() == 0, "the database keeps objects that are gone");
    return 0;
}
