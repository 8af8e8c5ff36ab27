#include "core/protocol/checks.h"

#include "core/protocol/answer_rules.h"
#include "core/protocol/answer_view.h"

namespace room::protocol {

using namespace detail;
using model::DeviceRecord;
using model::RoomTypeConfig;

namespace {

bool curtainOrOne(int lamp) {
    return lamp == 1 || model::isCurtainLamp(lamp);
}

constexpr const char* kKeyName = "按键";
constexpr const char* kRelayName = "继电器";

// A lamp as the channel lists show it; 0 (nothing on the channel) as "000.空" rather than the
// name the table happens to give it, a number outside the table as itself, "--" when the answer
// stopped before it.
std::string lampEntry(const RoomTypeConfig& room, std::optional<int> lamp) {
    if (!lamp) return "--";
    if (*lamp == 0) return "000.空";
    if (*lamp < 0 || *lamp >= model::kLampCount) return std::to_string(*lamp);
    return model::channelEntryText(room, *lamp);
}

// "按键1: 应为010.廊灯, 实为013.夜灯": the installer thinks in lamps, not in bytes.
std::string lampDifferenceText(const RoomTypeConfig& room, const char* channel, int number,
                               int want, std::optional<int> got) {
    return std::string(channel) + std::to_string(number) + ": 应为" + lampEntry(room, want) +
           ", 实为" + lampEntry(room, got);
}

// One verification of device d: collects texts, counts errors.
class Verifier {
public:
    Verifier(const RoomTypeConfig& room, VerifyState& state, bool runActive, CheckOutcome& out)
        : m_room(room),
          m_state(state),
          m_runActive(runActive),
          m_out(out),
          m_d(state.verifyDevice),
          m_device(room.devices[state.verifyDevice]) {
        out.device = m_d;
    }

    void report(const std::string& text) {
        ++m_state.errorCount;
        show(text);
    }

    void show(const std::string& text) {
        m_out.status.push_back(text);
        if (!m_runActive) m_out.messages.push_back(text);
    }

    // A value the answer cannot hold, reported at the verdict when nothing else differed.
    void setContentFault(std::optional<std::string> fault) { m_contentFault = std::move(fault); }

    void verdict() {
        if (m_state.errorCount == 0 && m_contentFault) report(*m_contentFault);
        const bool failed = m_state.errorCount > 0;
        show(format(failed ? "第%02d个面板异常" : "第%02d个面板OK  ", m_d));
        m_out.result = failed ? 2 : 1;
    }

    void verdictMissing(int missing) {
        show(format("第%02d个面板异常(%02d)", m_d, missing));
        m_out.result = 2;
    }

    // Compares six (or `count`) expected bytes with the answer from `pos`; reports the first
    // difference as `head` (with `number`, or the key number when `number` is 0), expected,
    // received. Key and relay runs (`channel` non-empty) also say it in lamp names.
    void compareRun(const AnswerView& view, int pos, const int* expected, int count,
                    const char* head, int number, const char* channel = nullptr) {
        for (int k = 0; k < count; ++k) {
            const std::optional<int> got = view.at(pos + k);
            const int want = static_cast<int>(hexByte(expected[k]));
            if (got && *got == want) continue;
            report(format(head, number != 0 ? number : k + 1, hexByte(want)) + receivedText(got));
            if (channel) {
                m_out.lampTexts.emplace_back(m_out.status.size() - 1,
                                             lampDifferenceText(m_room, channel, k + 1, want, got));
            }
            return;
        }
    }

    void checkParameterByte(const AnswerView& view) {
        const int want = m_room.functionOptionsA;
        compareRun(view, 6, &want, 1, "第%02d个参数数据异常 %02X ", 1);
    }

    void checkChannels(const AnswerView& view, bool indicatorBytes) {
        compareRun(view, kInputsPos, m_device.inputs.data(), 6, "按键第%02d个数据异常 %02X ", 0,
                   kKeyName);
        compareRun(view, kOutputsPos, m_device.outputs.data(), 6, "继电器第%02d个数据异常 %02X ",
                   0, kRelayName);
        if (!indicatorBytes) return;
        int flags[6];
        for (int k = 0; k < 6; ++k) flags[k] = m_room.modeFlagBits[k];
        compareRun(view, kIndicatorPos, flags, 6, "字灯第%02d个数据异常 %02X ", 0);
    }

    void checkMasks(const AnswerView& view) {
        for (int pos = kMasksPos; pos < kMasksEnd; ++pos) {
            const int row = (pos - kMasksPos) / 6;
            const int want = m_room.outputMasks[m_d][row][(pos - kMasksPos) % 6];
            const std::optional<int> got = view.at(pos);
            if (got && *got == want) continue;
            report(format("第%02d个开关模式数据异常 %02X ", m_d, hexByte(want)) +
                   receivedText(got) + format("%02X ", hexByte(pos)));
            return;
        }
    }

    // Mode slots from `pos`, seven bytes each, up to the slot area's end; `decode` turns thermostat
    // wire numbers into room values. Stops at the first difference; matches go into `edit`.
    void checkSlots(const AnswerView& view, int pos, bool decode, DeviceRecord& edit) {
        const int end = std::max(view.slotAreaEnd(), 0);
        const int length = view.byte(5);
        for (; pos <= length - 4; pos += kSlotSize) {
            if (pos + kSlotSize > end) {  // the answer stopped inside its slot area
                report(format("第%02d个面板模式数据异常 -- -- %02X ", m_d, hexByte(pos)));
                return;
            }
            const int code = view.byte(pos);
            const int slot = slotIndexOfCode(code);
            if (slot < 0) {
                report(format("第%02d个面板模式数据异常 -- %02X %02X ", m_d, hexByte(code),
                              hexByte(pos)));
                return;
            }
            for (int i = 0; i < kSlotSize; ++i) {
                const int raw = view.byte(pos + i);
                const int got = decode ? decodeThermostatValue(i, raw) : raw;
                const int want = m_device.modes[slot].value(i);
                if (got != want && !(want == model::kNotInvolved && got == 0)) {
                    report(format("第%02d个面板模式数据异常 %02X %02X %02X ", m_d, hexByte(want),
                                  hexByte(got), hexByte(pos + i)));
                    return;
                }
                edit.modes[slot].setValue(i, want);
            }
        }
    }

    // Every one of the 168 values where the working copy and the room differ; a room value of
    // "not involved" met by 0 counts as equal here too, as it does in the slot comparison.
    void compareWorkingCopy(const DeviceRecord& edit) {
        for (int index = 0; index < kSlotValues; ++index) {
            const int e = edit.modes[index / kSlotSize].value(index % kSlotSize);
            const int r = m_device.modes[index / kSlotSize].value(index % kSlotSize);
            if (e == r || (r == model::kNotInvolved && e == 0)) continue;
            report(format("第%02d个面板模式数据异常 %02X %02X %02d ", m_d, hexByte(e), hexByte(r),
                          index));
        }
    }

    void checkThermostatIdentity(const AnswerView& view) {
        const int want = thermostatIndex(m_device.outputs[0]);
        const std::optional<int> got = view.at(10);
        if (got && *got == want) return;
        const std::string received = got ? format("%02X", hexByte(*got)) : std::string("--");
        report(format("第%02d个面板ID数据不匹配,本编号%02X 读出编号", m_d, hexByte(want)) +
               received);
    }

    void checkSum(const Answer& answer) {
        const AnswerSum sum = checkAnswerSum(answer);
        if (sum.ok) return;
        report(checksumText(m_d, sum));
    }

    int device() const { return m_d; }
    const DeviceRecord& record() const { return m_device; }

private:
    const RoomTypeConfig& m_room;
    VerifyState& m_state;
    bool m_runActive;
    CheckOutcome& m_out;
    int m_d;
    const DeviceRecord& m_device;
    std::optional<std::string> m_contentFault;
};

void verifyPanel(Verifier& v, const AnswerView& view) {
    v.checkParameterByte(view);
    v.checkChannels(view, !isCurtainLike(v.record()));
    v.checkMasks(view);
    v.verdict();
}

void verifyThermostat(Verifier& v, const AnswerView& view, DeviceRecord& edit) {
    v.checkThermostatIdentity(view);
    if (view.byte(5) > 14) v.checkSlots(view, kInputsPos, true, edit);
    v.compareWorkingCopy(edit);
    v.verdict();
}

void verifyDimmer(Verifier& v, const AnswerView& view, DeviceRecord& edit) {
    v.checkParameterByte(view);
    v.checkChannels(view, true);
    if (view.byte(5) > 32) v.checkSlots(view, kDimmerSlotsPos, false, edit);
    v.compareWorkingCopy(edit);
    v.verdict();
}

void verifyShort(Verifier& v, const AnswerView& view, const RoomTypeConfig& room,
                 VerifyState& state) {
    const int block = view.byte(4);
    const int d = v.device();
    const DeviceRecord& device = room.devices[d];
    auto differs = [&view](int pos, const int* expected, int count) {
        for (int k = 0; k < count; ++k) {
            if (view.byte(pos + k) != static_cast<int>(hexByte(expected[k]))) return true;
        }
        return false;
    };
    const int bit = shortBlockBit(block);
    if (bit < 0) return;  // not a configuration block
    if (state.blocks & (1u << bit)) {
        // A block that comes twice may be another talker's: the check cannot vouch for it.
        v.report(repeatedBlockText(d, block));
        return;
    }
    state.blocks |= 1u << bit;
    int expected[6];
    if (block == 1) {
        v.compareRun(view, 5, device.inputs.data(), 6, "按键第%02d个数据异常 %02X ", d, kKeyName);
        v.compareRun(view, 11, device.outputs.data(), 4, "继电器第%02d个数据异常 %02X ", d,
                     kRelayName);
    } else if (block == 5) {
        for (int k = 0; k < 6; ++k) expected[k] = room.modeFlagBits[k];
        if (differs(5, expected, 6)) v.report("字灯数据异常 ");
    } else if (block >= 11 && block <= 14) {
        const model::OutputMask& row = room.outputMasks[d][block - 11];
        for (int k = 0; k < 6; ++k) expected[k] = row[k];
        if (differs(5, expected, 6)) v.report(format("第%2d 继电器模式数据异常", block - 10));
    }
    if (--state.blockCounter == 0) v.verdict();
}

}  // namespace

std::string CheckOutcome::lampText(std::size_t index) const {
    for (const auto& [at, text] : lampTexts) {
        if (at == index) return text;
    }
    return {};
}

int shortBlockBit(int block) {
    if (block == 1) return 0;
    if (block == 5) return 1;
    if (block >= 11 && block <= 14) return block - 9;
    return -1;
}

int answerDevice(const Answer& answer) {
    const std::size_t at = answer.kind == Answer::Kind::Long ? 3 : 2;
    return answer.bytes.size() > at ? answer.bytes[at] : -1;
}

AnswerSum checkAnswerSum(const Answer& answer) {
    AnswerSum sum;
    const Bytes& b = answer.bytes;
    if (answer.kind != Answer::Kind::Long || b.size() < 4) {
        sum.ok = answer.kind != Answer::Kind::Long;
        return sum;
    }
    unsigned total = 0;
    for (std::size_t i = 0; i + 3 < b.size(); ++i) total += b[i];
    sum.expected = static_cast<int>(total & 0xFFu);
    sum.received = b[b.size() - 3];
    sum.ok = sum.expected == sum.received;
    return sum;
}

std::string repeatedBlockText(int device, int block) {
    return format("第%02d个面板第%02d块重复", device, block);
}

std::string checksumText(int device, const AnswerSum& sum) {
    return format("第%02d个面板校验和异常 %02X %02X ", device, hexByte(sum.expected),
                  hexByte(sum.received));
}

CheckOutcome verifyIncomplete(VerifyState& state, bool runActive) {
    CheckOutcome out;
    if (!validDevice(state.verifyDevice) || state.blockCounter >= 6 || state.blockCounter <= 0) {
        return out;
    }
    static const RoomTypeConfig kNoRoom{};  // the verdict needs no room data
    Verifier v(kNoRoom, state, runActive, out);
    v.verdictMissing(state.blockCounter);
    return out;
}

void prepareWorkingCopy(const DeviceRecord& room, DeviceRecord& edit) {
    for (int slot = 0; slot < model::kModeSlots; ++slot) {
        model::ModeSlot& copy = edit.modes[slot];
        copy = room.modes[slot];
        if (!copy.isUsed()) continue;
        copy.modeCode = model::kNotInvolved;
        copy.outputState.fill(model::kNotInvolved);
    }
}

bool isCurtainLike(const DeviceRecord& device) {
    return curtainOrOne(device.outputs[0]) && curtainOrOne(device.outputs[1]) &&
           device.outputs[2] == 0 && device.outputs[3] == 0 && device.inputs[0] == 0 &&
           device.inputs[1] == 0;
}

CheckOutcome verifyAnswer(const Answer& answer, const RoomTypeConfig& room, RoomTypeConfig& edit,
                          VerifyState& state, bool runActive) {
    CheckOutcome out;
    if (!validDevice(state.verifyDevice) || answerDevice(answer) != state.verifyDevice) return out;
    const AnswerView view(answer);
    if (answer.kind == Answer::Kind::Short) {
        if (view.byte(1) != kShortConfigAnswer) return out;
        Verifier v(room, state, runActive, out);
        verifyShort(v, view, room, state);
        return out;
    }
    const int type = view.byte(2);
    const int d = state.verifyDevice;
    Verifier v(room, state, runActive, out);
    v.checkSum(answer);
    // A broken answer, or another kind of device, has nothing where the comparison would look.
    std::optional<std::string> fault = lengthFault(answer, d);
    if (!fault && type != room.devices[d].type) fault = typeMismatchText(d);
    if (fault) {
        v.report(*fault);
        v.verdict();
        return out;
    }
    // Dimmers (type 5) are configured with the same layout as type 6 and answer in it too, so
    // they are checked the same way instead of being left out as unanswered.
    if (type < 1 || type > 6) return CheckOutcome{};
    // Data that matches the room holds nothing it cannot; data that does not is reported anyway.
    v.setContentFault(contentFault(answer, d, room));
    DeviceRecord& editRecord = edit.devices[state.verifyDevice];
    if (type == 2) {
        verifyThermostat(v, view, editRecord);
    } else if (type == 5 || type == 6) {
        verifyDimmer(v, view, editRecord);
    } else {
        verifyPanel(v, view);
    }
    return out;
}

}  // namespace room::protocol
