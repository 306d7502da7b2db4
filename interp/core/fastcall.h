// Calls of the arithmetic, logic and comparison functions whose arguments
// are number literals, number variables, parameter slots, number array
// elements or such calls again, and @LEN, @INSTR and @MID$ of quoted
// texts, string variables and such calls: decoded once by a dry run of the argument reader over the text,
// then evaluated as a small tree. Nothing they do changes any state before
// the result is written, so a call that would raise an error or warning is
// left to the ordinary reading from its start.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pureops.h"

namespace tilmor {

struct Interp;

struct FastNode {
  // Operands first (kText only as an argument of @LEN and @INSTR), then calls.
  enum Kind : uint8_t { kWhole, kFloat, kVariable, kSlot, kText, kCall, kElement, kLen, kInstr, kMid };
  Kind kind = kWhole;
  char varKind = 0;  // '%', '&' or '!'
  int id = -1;
  int32_t whole = 0;
  double real = 0.0;
  std::string text;  // a quoted text (kText with id -1)
  int slotType = 0;  // @$(n) 1, @%(n) 2, @&(n) 3, @!(n) 4
  int slot = 0;
  PureOp op = PureOp::kAdd;
  char arrayKind = 0;  // @LIST%, @LIST&, @LIST!: '%', '&', '!'; index in a
  std::unique_ptr<FastNode> a, b, c;
  mutable std::string result;  // @MID$'s text
};

// The tree in postfix order: operands are pushed, a call replaces its
// arguments on the stack by its result.
struct FastStep {
  FastNode::Kind kind;
  char varKind;
  char arrayKind;
  PureOp op;
  int slotType;
  int32_t whole;  // literal, slot number or name id (-1: a quoted text)
  double real;
  const std::string* text;  // a quoted text, or @MID$'s result buffer
};

struct FastCall {
  static constexpr int kMaxStack = 32;
  std::unique_ptr<FastNode> root;
  std::vector<FastStep> steps;
  uint16_t adv = 0;  // characters the whole read takes off the front
  char sep = ' ';
  bool eoa = false;
  int depth = 0;  // calls nested inside each other
  bool text = false;  // the result is a text (@MID$)
};

// Decodes the call at the front of `p` read with c and t; nullptr when its
// shape is not one the tree covers.
std::unique_ptr<FastCall> DecodeFastCall(std::string_view p, char c, int t);

// Evaluates the call into the results and moves the parameter text on;
// false (and nothing changed) when the ordinary reading must do it.
bool EvaluateFastCall(Interp& in, const FastCall& f);

}  // namespace tilmor
