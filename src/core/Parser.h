// Turns one perception message of the server, a text of nested parenthesised expressions,
// into a tree of ServerData nodes. First stage of every cycle: Parser::Update runs on the
// received text, then RawStorage::Update walks the tree by tag name.
//
// The tree lives as long as the parser and its nodes are reused by position, so a steady
// stream of similar messages creates no nodes after the first cycles. No error is ever
// reported: unbalanced or truncated text ends the parse where the scan runs out, and
// elements nested deeper than MAX_DEPTH are skipped, so the input cannot drive the
// recursion deeper than that. Once the tree holds more than MAX_NODE_NUM nodes, the nodes
// the last message did not use are freed, and no node keeps the storage of an outsized
// element, so messages of ever new shapes cannot make it grow without bound.
#pragma once

#include <cstddef>
#include <string>

namespace zamp {

class ServerData;

class Parser {
 public:
  static constexpr char BEGIN_CHAR = '(';
  static constexpr char END_CHAR = ')';
  static constexpr char SEPARATOR_CHAR = ' ';
  // Deepest element that becomes a node; the root's children are at depth 1. Real
  // messages nest four levels at most.
  static constexpr int MAX_DEPTH = 64;
  // Nodes kept for reuse between messages. A steady stream of real messages needs a few
  // hundred.
  static constexpr int MAX_NODE_NUM = 1 << 16;
  // Storage a node keeps for reuse: data words (a real leaf has four at most) and characters
  // of a tag or a word (a real tag has nine at most). A node that needed more frees it.
  static constexpr std::size_t MAX_KEPT_WORD_NUM = 16;
  static constexpr std::size_t MAX_KEPT_TAG_SIZE = 64;
  // Storage a node gets when it is made, enough for any real element (a team message has
  // 20 characters at most), so that a node that meets a larger real element later needs no
  // more: words per node and characters per word.
  static constexpr std::size_t RESERVED_WORD_NUM = 4;
  static constexpr std::size_t RESERVED_WORD_SIZE = 32;

  Parser();
  virtual ~Parser();
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  // Parses one message into the tree, replacing the previous message's contents.
  void Update(const std::string& message);
  // The root node (tag "root"); its children are the message's top-level elements.
  const ServerData* GetCompositeData() const { return root_; }
  // Empties the tree for reuse; Update does this itself.
  void Reset();
  // Nodes held below the root, in use or waiting for reuse.
  long GetNodeNum() const { return node_num_; }

 private:
  enum Bracket { BRACKET_NONE, BRACKET_BEGIN, BRACKET_END };

  Bracket SearchBeginOrEndChar(const std::string& message);
  void Parse(const std::string& message, ServerData* parent, int depth);
  void Skip(const std::string& message);
  static void Reset(ServerData* node);
  static long Trim(ServerData* node);
  ServerData* NextChild(ServerData* parent);
  static void SetData(ServerData* leaf, const std::string& message, int begin, int end);
  static void AddWord(ServerData* leaf, const std::string& message, int begin, int end);

  ServerData* root_;
  int current_;  // scan position in the message being parsed
  int size_;     // length of that message
  long node_num_;
};

}  // namespace zamp
