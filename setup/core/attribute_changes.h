// The SETATT grammar: signs and attribute letters applied to attribute bits.
#pragma once

#include <cstdint>

enum class AttributeChange {
    Applied,        // every byte understood; the bits are in *value
    Refused,        // a byte outside the grammar, or H or A without a sign: message
    RefusedSilently // R or S without a sign: no message
};

// Applies `changes` to *value: "+" turns the set switch on, "-" the clear
// switch, a blank turns both off; R, H, S, A (either case) set their bit when
// the set switch is on, else clear it when the clear switch is on.
AttributeChange ApplyAttributeChanges(const char* changes, uint32_t* value);
