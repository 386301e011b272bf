// One node of the parsed S-expression tree of a server message. The Parser builds the tree
// at the start of every cycle (Parser::Update) and the perception store walks it right after
// (RawStorage::Update). Nodes are kept between cycles and reused by position, so a node may
// hold more children than belong to the current message: only the first GetChildSize() are
// valid.
//
// Look-ups never fail: a missing child is answered by the shared sentinel `npos`, whose data
// read as "" or 0. Numbers are read independently of the C locale; a word that does not
// hold a finite number in range reads as 0. Values carry whatever unit the server used.
#pragma once

#include <Eigen/Core>
#include <string>
#include <vector>

namespace zamp {

class ServerData {
 public:
  // The sentinel returned for every missing child. Its tag is "THIS IS NOT SERVER DATA".
  static ServerData* const npos;

  explicit ServerData(const char* id);
  virtual ~ServerData();
  ServerData(const ServerData&) = delete;
  ServerData& operator=(const ServerData&) = delete;

  const std::string& GetID() const { return id_; }
  // The number of children that belong to the current message.
  int GetChildSize() const { return update_num_; }
  // The i-th child of the current message, or npos.
  const ServerData* GetChild(int i) const;
  // The first child of the current message whose tag equals id exactly, or npos.
  const ServerData* GetChild(const char* id) const;
  // The number of data words (leaves only).
  int GetDataSize() const { return data_num_; }
  // The i-th data word, or "" when there is none.
  const std::string& GetDataStr(int i) const;
  // Leading base-10 integer of data word i; 0 when there is none or it does not fit an int.
  int GetDataInt(int i) const;
  // Leading floating-point number of data word i; 0 when there is none or it is not finite.
  double GetDataDouble(int i) const;
  // Data words 0 to 2 as numbers when the node holds exactly three words, else zero.
  Eigen::Vector3d GetDataVector() const;

  // Nodes constructed so far in this process. Lets tests check that a steady stream of
  // messages is parsed without creating nodes.
  static long GetConstructedNum() { return constructed_num_; }

 private:
  friend class Parser;

  std::string id_;
  // Words of the current message first; entries beyond data_num_ keep their storage for
  // the next message.
  std::vector<std::string> data_;
  int data_num_ = 0;
  std::vector<ServerData*> child_;  // owned; entries beyond update_num_ wait for reuse
  int update_num_;

  inline static long constructed_num_ = 0;
};

}  // namespace zamp
