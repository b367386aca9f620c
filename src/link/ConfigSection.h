#pragma once

// The four sections of a configuration as the register map moves them, in
// transfer order. Their numbers are those of the panel window's pages.
enum class ConfigSection
{
    Inputs = 1,
    Outputs = 2,
    General = 3,
    Factory = 4
};
