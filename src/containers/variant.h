#pragma once

#include <QString>

// The element type of the containers: a text, or one of the two states that
// hold no value. Empty is what a list gives for a position it does not have,
// Null what Shift and Pop give on an empty list; both read as "".
class Variant {
public:
    enum class State { Empty, Null, Text };

    Variant() = default;
    Variant(const QString& text) : state_(State::Text), text_(text) {}
    Variant(const char* text) : state_(State::Text), text_(QString::fromUtf8(text)) {}

    static Variant Null() {
        Variant v;
        v.state_ = State::Null;
        return v;
    }

    State state() const { return state_; }
    bool isEmpty() const { return state_ == State::Empty; }
    bool isNull() const { return state_ == State::Null; }
    bool isText() const { return state_ == State::Text; }

    // Empty and null join to text as the empty text.
    const QString& toText() const { return text_; }
    operator const QString&() const { return text_; }

    bool operator==(const Variant& other) const = default;

private:
    State state_ = State::Empty;
    QString text_;
};
