#include "core/Drawing.h"

#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"

namespace {

const char* const DEFAULT_HOST = "127.0.0.1";
const char* const DEFAULT_PORT = "32769";

// The protocol's fixed-width number: six characters of the "%6f" text. The text of a large
// value is much longer, so it is formatted into a buffer of its own and cut there.
void AppendFloat(std::string& packet, float value) {
  char text[64];
  const int length = std::snprintf(text, sizeof(text), "%6f", value);
  if (length < 6) {
    packet.append(6, ' ');
    return;
  }
  packet.append(text, 6);
}

// Components outside [0, 1], NaN included, would wrap around in the byte.
void AppendColour(std::string& packet, float component) {
  float c = component > 0.0f ? component : 0.0f;
  if (c > 1.0f) c = 1.0f;
  packet.push_back(static_cast<char>(static_cast<unsigned char>(c * 255.0f)));
}

void AppendName(std::string& packet, const std::string* name) {
  if (name != nullptr) packet.append(*name);
  packet.push_back('\0');
}

void AppendHeader(std::string& packet, int command, int shape) {
  packet.push_back(static_cast<char>(command));
  packet.push_back(static_cast<char>(shape));
}

// The layout shared by circle, line, point and sphere: the shape's numbers, its colour, the
// set name.
std::string ShapePacket(int shape, std::initializer_list<float> values, float r, float g, float b,
                        const std::string* setName) {
  std::string packet;
  AppendHeader(packet, 1, shape);
  for (float value : values) AppendFloat(packet, value);
  for (float component : {r, g, b}) AppendColour(packet, component);
  AppendName(packet, setName);
  return packet;
}

}  // namespace

Drawing::Drawing() : Drawing(true) {}

Drawing::Drawing(bool can_connect)
    : sockfd(-1),
      p(nullptr),
      hints(),
      servinfo(nullptr),
      ROBOVIS_HOST(DEFAULT_HOST),
      ROBOVIS_PORT(DEFAULT_PORT) {
  if (can_connect) Connect();
}

Drawing::Drawing(const std::string& host, const std::string& port)
    : sockfd(-1), p(nullptr), hints(), servinfo(nullptr), ROBOVIS_HOST(host), ROBOVIS_PORT(port) {
  Connect();
}

Drawing::~Drawing() {
  if (servinfo != nullptr) freeaddrinfo(servinfo);
  if (sockfd >= 0) close(sockfd);
}

void Drawing::Connect() {
  std::memset(&hints, 0, sizeof(hints));
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  const int rv = getaddrinfo(ROBOVIS_HOST.c_str(), ROBOVIS_PORT.c_str(), &hints, &servinfo);
  if (rv != 0) {
    std::fprintf(stderr, "getaddrinfo: %s\n", gai_strerror(rv));
    servinfo = nullptr;
    return;
  }
  for (p = servinfo; p != nullptr; p = p->ai_next) {
    sockfd = socket(p->ai_family, p->ai_socktype, p->ai_protocol);
    if (sockfd != -1) break;
    std::perror("socket");
  }
  if (p == nullptr) std::fprintf(stderr, "failed to bind socket\n");
}

void Drawing::Send(const std::string& packet) {
  if (sockfd < 0 || p == nullptr) return;
  // A lost debug picture matters to nobody; the result is deliberately not examined.
  const ssize_t sent = sendto(sockfd, packet.data(), packet.size(), 0, p->ai_addr, p->ai_addrlen);
  static_cast<void>(sent);
}

void Drawing::draw() {
  // Only inline accessors of the model headers are used, so core links nothing above it.
  const zamp::AgentState* agent = zamp::Singleton<zamp::AgentState>::GetInstance();
  const zamp::FieldState* field = zamp::Singleton<zamp::FieldState>::GetInstance();
  if (agent == nullptr || field == nullptr) return;
  const Eigen::Vector3d& position = agent->GetCoordinates();
  const Eigen::Vector3d& ball = field->GetBall().GetAbsoluteCoordinates();
  drawAgentPicture(agent->GetUniformNumber(), static_cast<float>(position.x()),
                   static_cast<float>(position.y()), static_cast<float>(ball.x()),
                   static_cast<float>(ball.y()));
}

void Drawing::swapBuffers(const std::string* setName) {
  std::string packet;
  AppendHeader(packet, 0, 0);
  AppendName(packet, setName);
  Send(packet);
}

void Drawing::drawLine(float x1, float y1, float z1, float x2, float y2, float z2, float thickness,
                       float r, float g, float b, const std::string* setName) {
  Send(ShapePacket(1, {x1, y1, z1, x2, y2, z2, thickness}, r, g, b, setName));
}

void Drawing::drawCircle(float x, float y, float radius, float thickness, float r, float g, float b,
                         const std::string* setName) {
  Send(ShapePacket(0, {x, y, radius, thickness}, r, g, b, setName));
}

void Drawing::drawSphere(float x, float y, float z, float radius, float r, float g, float b,
                         const std::string* setName) {
  Send(ShapePacket(3, {x, y, z, radius}, r, g, b, setName));
}

void Drawing::drawPoint(float x, float y, float z, float size, float r, float g, float b,
                        const std::string* setName) {
  Send(ShapePacket(2, {x, y, z, size}, r, g, b, setName));
}

void Drawing::drawPolygon(const float* v, int numVerts, float r, float g, float b, float a,
                          const std::string* setName) {
  // The count travels in one byte.
  if (numVerts < 0 || numVerts > 255) return;
  if (v == nullptr && numVerts > 0) return;
  std::string packet;
  AppendHeader(packet, 1, 4);
  packet.push_back(static_cast<char>(static_cast<unsigned char>(numVerts)));
  for (float component : {r, g, b, a}) AppendColour(packet, component);
  for (int i = 0; i < 3 * numVerts; ++i) AppendFloat(packet, v[i]);
  AppendName(packet, setName);
  Send(packet);
}

void Drawing::drawAnnotation(const std::string* text, float x, float y, float z, float r, float g,
                             float b, const std::string* setName) {
  std::string packet;
  AppendHeader(packet, 2, 0);
  for (float value : {x, y, z}) AppendFloat(packet, value);
  for (float component : {r, g, b}) AppendColour(packet, component);
  AppendName(packet, text);
  AppendName(packet, setName);
  Send(packet);
}

void Drawing::drawAgentPicture(int uniform_number, float agent_x, float agent_y, float ball_x,
                               float ball_y) {
  const std::string prefix = "Agent.no" + std::to_string(uniform_number);
  const std::string agent_set = prefix + "-XYposition";
  const std::string ball_set = prefix + "-BALLposition";
  const std::string swap_set = "Agent";
  drawCircle(agent_x, agent_y, 0.2f, 2.0f, 0.0f, 0.0f, 1.0f, &agent_set);
  drawCircle(ball_x, ball_y, 0.2f, 2.0f, 1.0f, 0.0f, 1.0f, &ball_set);
  swapBuffers(&swap_set);
}
