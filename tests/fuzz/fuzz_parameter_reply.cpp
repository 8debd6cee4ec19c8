// The parameter block as the display's two replies deliver it, decoded into the configuration form: no
// crash, the block survives decoding, every number shown reads back as the word it came from, and no
// exclusive frame ends up with two options selected.
#include <QLocale>

#include <algorithm>
#include <array>

#include "config/config_form.h"
#include "config/parameter_block.h"
#include "config/settings_codec.h"
#include "fuzz_check.h"

using namespace trivo;

namespace {

template <std::size_t N>
int selected(const std::array<bool, N>& options)
{
    return static_cast<int>(std::count(options.begin(), options.end(), true));
}

int selected(const RuleOptions& rule, const auto& group)
{
    int n = 0;
    for (int i : group)
        n += rule[i] ? 1 : 0;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    // Reply data bytes of the reads 30 and 31, 64 each; what the input does not give stays 0.
    std::array<uint8_t, 128> replies{};
    std::copy(data, data + std::min(size, replies.size()), replies.begin());
    ParameterBlock block{};
    std::copy(replies.begin(), replies.begin() + 32, block.begin());
    std::copy(replies.begin() + 64, replies.begin() + 64 + 36, block.begin() + 0x20);
    if (!hasValidSignature(block))
        return 0;

    const DeviceSettings settings = decodeBlock(block);
    FUZZ_CHECK(encodeBlock(settings) == block);
    // Word n: the signed big-endian number at block offsets 4n..4n+3, which reply 31 carries from 0x20 on.
    const auto at = [&replies](int offset) -> uint32_t { return replies[offset < 32 ? offset : offset + 32]; };
    for (int n = 1; n <= kWordCount; ++n)
        FUZZ_CHECK(settings.word(n) == int32_t(at(4 * n) << 24 | at(4 * n + 1) << 16 | at(4 * n + 2) << 8 | at(4 * n + 3)));

    PlainConfigForm form;
    if (block[3] == kModeTotaliser)
        form.INIT_T();
    else
        form.INIT_P();
    FormState state = form.formState();
    settingsToForm(settings, state);
    form.applyFormState(state);

    for (int n = 1; n <= 9; ++n)
        FUZZ_CHECK(state.slider(n) >= FormState::sliderMin(n) && state.slider(n) <= FormState::sliderMax(n));
    const FormConversion back = formToSettings(state, QLocale::c());
    FUZZ_CHECK(back.ok());
    for (int n = 1; n <= kWordCount; ++n)
        FUZZ_CHECK(back.settings.word(n) == settings.word(n));

    FUZZ_CHECK(selected(state.Option_pdec) <= 1);
    for (const OptionPair* pair : {&state.Option_raz, &state.OptionE1, &state.OptionE2})
        FUZZ_CHECK(selected(pair->option) <= 1);
    FUZZ_CHECK(!(state.Option_anti_non && state.Option_anti_oui));
    for (int output = 0; output < 3; ++output) {
        const RuleOptions& rule = state.rule(output);
        FUZZ_CHECK(selected(rule, RuleOptions::kAssignGroup) <= 1);
        FUZZ_CHECK(selected(rule, RuleOptions::kActionGroup) <= 1);
        FUZZ_CHECK(selected(rule, RuleOptions::kDurationGroup) <= 1);
    }
    return 0;
}
