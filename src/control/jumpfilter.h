#pragma once

// Holds back single implausible readings: a reading more than maxJump away from the last accepted one is
// replaced by that one. A new level is accepted once confirmCount consecutive held-back readings agree
// with each other within maxJump, so a real change (after a gap, or a fast ramp) cannot freeze the display.
class JumpFilter
{
public:
    explicit JumpFilter(float maxJump = 5.0f, int confirmCount = 3);

    // Forget the last accepted reading: the next one is accepted whatever its value.
    void reset();
    // The value to show for this reading.
    float filter(float reading);

    bool hasAccepted() const { return m_hasAccepted; }
    float lastAccepted() const { return m_lastAccepted; }

private:
    float m_maxJump;
    int m_confirmCount;
    bool m_hasAccepted = false;
    float m_lastAccepted = 0.0f;
    // The run of consecutive held-back readings that agree with each other.
    int m_runLength = 0;
    float m_runMin = 0.0f;
    float m_runMax = 0.0f;
};
