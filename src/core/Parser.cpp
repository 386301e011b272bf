#include "core/Parser.h"

#include <climits>
#include <string>
#include <vector>

#include "core/ServerData.h"

namespace zamp {

Parser::Parser() : root_(new ServerData("root")), current_(0), size_(0), node_num_(0) {
  // Four empty words, so that reading data through a missing element gives "" or 0.
  ServerData::npos->data_.assign(4, std::string());
  ServerData::npos->data_num_ = 4;
}

Parser::~Parser() { delete root_; }

void Parser::Update(const std::string& message) {
  // Trimming needs the valid counts of the previous message, so it comes before Reset.
  if (node_num_ > MAX_NODE_NUM) node_num_ = Trim(root_);
  Reset();
  size_ =
      message.size() > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(message.size());
  // Text outside brackets is ignored; a ')' at the top level ends the message.
  while (SearchBeginOrEndChar(message) == BRACKET_BEGIN) Parse(message, root_, 1);
}

void Parser::Reset() {
  Reset(root_);
  current_ = 0;
}

Parser::Bracket Parser::SearchBeginOrEndChar(const std::string& message) {
  while (current_ < size_) {
    const char c = message[current_++];
    if (c == BEGIN_CHAR) return BRACKET_BEGIN;
    if (c == END_CHAR) return BRACKET_END;
  }
  return BRACKET_NONE;
}

// One element; current_ stands just behind its opening bracket.
void Parser::Parse(const std::string& message, ServerData* parent, int depth) {
  if (depth > MAX_DEPTH) {
    Skip(message);
    return;
  }
  const int begin = current_;
  const Bracket bracket = SearchBeginOrEndChar(message);
  if (bracket == BRACKET_NONE) return;
  const int end = current_ - 1;  // the bracket that ends the token

  if (bracket == BRACKET_END) {
    // A leaf: the tag is the first word, the data are the words after it. A leaf of one
    // word, such as "(syn)", carries that word as its tag and as its only datum.
    int blank = begin;
    while (blank < end && message[blank] != SEPARATOR_CHAR) ++blank;
    ServerData* leaf = NextChild(parent);
    leaf->id_.assign(message, begin, blank - begin);
    if (blank == end) {
      AddWord(leaf, message, begin, end);
    } else {
      SetData(leaf, message, blank + 1, end);
    }
    return;
  }

  // A node with children: "(See (B ...". Only one trailing blank is dropped from the tag.
  int tag_end = end;
  if (tag_end > begin && message[tag_end - 1] == SEPARATOR_CHAR) --tag_end;
  ServerData* node = NextChild(parent);
  node->id_.assign(message, begin, tag_end - begin);
  for (;;) {
    Parse(message, node, depth + 1);
    if (current_ >= size_) return;
    // Text between children is ignored; ')' closes this node.
    if (SearchBeginOrEndChar(message) != BRACKET_BEGIN) return;
  }
}

// Passes over an element nested too deeply, without recursion; current_ stands just
// behind its opening bracket and ends behind its closing one (or at the end of the text).
void Parser::Skip(const std::string& message) {
  int level = 1;
  while (current_ < size_) {
    const char c = message[current_++];
    if (c == BEGIN_CHAR) {
      ++level;
    } else if (c == END_CHAR && --level == 0) {
      return;
    }
  }
}

// Empties the nodes of the previous message. Nodes beyond the valid count were emptied
// when they dropped out, and keep their storage for reuse, but not the storage of an
// outsized element: messages that put one at ever new places would pile it up node by node.
void Parser::Reset(ServerData* node) {
  if (node->data_.capacity() > MAX_KEPT_WORD_NUM) {
    std::vector<std::string>().swap(node->data_);
  } else {
    // The words stay for reuse, so a steady stream of messages allocates no word storage.
    for (std::string& word : node->data_) {
      if (word.capacity() > MAX_KEPT_TAG_SIZE) std::string().swap(word);
    }
  }
  node->data_num_ = 0;
  if (node->id_.capacity() > MAX_KEPT_TAG_SIZE) std::string().swap(node->id_);
  for (int i = 0; i < node->update_num_; ++i) Reset(node->child_[i]);
  node->update_num_ = 0;
}

// Frees every node below node that the last message did not use; returns the number of
// nodes kept below node.
long Parser::Trim(ServerData* node) {
  for (size_t i = node->update_num_; i < node->child_.size(); ++i) delete node->child_[i];
  node->child_.resize(node->update_num_);
  node->child_.shrink_to_fit();
  long kept = node->update_num_;
  for (int i = 0; i < node->update_num_; ++i) kept += Trim(node->child_[i]);
  return kept;
}

// The parent's next child: the stored node at that position, or a new one.
ServerData* Parser::NextChild(ServerData* parent) {
  const int index = parent->update_num_++;
  if (index < static_cast<int>(parent->child_.size())) return parent->child_[index];
  parent->child_.push_back(new ServerData(""));
  parent->child_.back()->data_.reserve(RESERVED_WORD_NUM);
  ++node_num_;
  return parent->child_.back();
}

// Makes message[begin, end) the leaf's next word, in a stored word where one is free.
void Parser::AddWord(ServerData* leaf, const std::string& message, int begin, int end) {
  if (leaf->data_num_ < static_cast<int>(leaf->data_.size())) {
    leaf->data_[leaf->data_num_].assign(message, begin, end - begin);
  } else {
    std::string& word = leaf->data_.emplace_back();
    word.reserve(RESERVED_WORD_SIZE);
    word.assign(message, begin, end - begin);
  }
  ++leaf->data_num_;
}

// Cuts message[begin, end) at every single blank: two blanks in a row give an empty word,
// a trailing blank gives a final empty word.
void Parser::SetData(ServerData* leaf, const std::string& message, int begin, int end) {
  int word = begin;
  for (int i = begin; i < end; ++i) {
    if (message[i] == SEPARATOR_CHAR) {
      AddWord(leaf, message, word, i);
      word = i + 1;
    }
  }
  AddWord(leaf, message, word, end);
}

}  // namespace zamp
