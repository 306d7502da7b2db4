// Calls of the arithmetic, logic and comparison functions whose arguments
// are number literals, number variables, parameter slots, number array
// elements or such calls again: decoded once by a dry run of the argument reader over the text,
// then evaluated as a small tree. Nothing they do changes any state before
// the result is written, so a call that would raise an error or warning is
// left to the ordinary reading from its start.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "pureops.h"

namespace tilmor {

struct Interp;

struct FastNode {
  enum Kind : uint8_t { kWhole, kFloat, kVariable, kSlot, kCall, kElement };
  Kind kind = kWhole;
  char varKind = 0;  // '%', '&' or '!'
  int id = -1;
  int32_t whole = 0;
  double real = 0.0;
  int slotType = 0;  // @$(n) 1, @%(n) 2, @&(n) 3, @!(n) 4
  int slot = 0;
  PureOp op = PureOp::kAdd;
  char arrayKind = 0;  // @LIST%, @LIST&, @LIST!: '%', '&', '!'; index in a
  std::unique_ptr<FastNode> a, b;
};

// The tree in postfix order: operands are pushed, a call replaces its
// arguments on the stack by its result.
struct FastStep {
  FastNode::Kind kind;
  char varKind;
  char arrayKind;
  PureOp op;
  int slotType;
  int32_t whole;  // literal, slot number or name id
  double real;
};

struct FastCall {
  static constexpr int kMaxStack = 32;
  std::unique_ptr<FastNode> root;
  std::vector<FastStep> steps;
  uint16_t adv = 0;  // characters the whole read takes off the front
  char sep = ' ';
  bool eoa = false;
  int depth = 0;  // calls nested inside each other
};

// Decodes the call at the front of `p` read with c and t; nullptr when its
// shape is not one the tree covers.
std::unique_ptr<FastCall> DecodeFastCall(std::string_view p, char c, int t);

// Evaluates the call into the results and moves the parameter text on;
// false (and nothing changed) when the ordinary reading must do it.
bool EvaluateFastCall(Interp& in, const FastCall& f);

}  // namespace tilmor
