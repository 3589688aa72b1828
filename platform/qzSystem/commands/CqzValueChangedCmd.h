#pragma once
// A value-changed command that calls a member of its target: the member takes no arguments,
// reads the value from the command that called it and answers whether it succeeded. The
// target is not owned.

#include "qzSystem/commands/CqzControlCmd.h"

template <typename Base, typename T> class CqzValueChangedCmd : public Base
{
public:
    using Member = bool (T::*)();

    CqzValueChangedCmd(T* target, Member member) : m_target(target), m_member(member) {}

    int Execute() override { return (m_target->*m_member)() ? 1 : 0; }

private:
    T* m_target;
    Member m_member;
};

template <typename T> using CqzMenuButtonValueChangedCmd = CqzValueChangedCmd<CqzMenuButtonCmd, T>;
template <typename T> using CqzComboBoxValueChangedCmd = CqzValueChangedCmd<CqzComboBoxCmd, T>;
template <typename T>
using CqzColorWellButtonValueChangedCmd = CqzValueChangedCmd<CqzColorWellButtonCmd, T>;
template <typename T> using CqzEditValueChangedCmd = CqzValueChangedCmd<CqzEditCmd, T>;
