#pragma once

// A sample rate is plausible when it is finite and between 8000 and 1536000 Hz. The link
// drops rows that fail this before anything sees them; the engine applies the same rule.
namespace RatePlausibility {

constexpr double minimumHz = 8000.0;
constexpr double maximumHz = 1536000.0;

bool isPlausible(double hz);

} // namespace RatePlausibility
