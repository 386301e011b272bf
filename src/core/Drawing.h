// Debug drawing client. Sends shapes and text as UDP datagrams in the 3-D visualiser's
// drawing protocol; they appear in named sets that the visualiser shows when a buffer swap
// for the set arrives. Learning agents install a real client as the shared drawing
// instance, the match agent installs the silent zamp::NoDrawing; either may be called at
// any point of the decision step.
//
// Positions and sizes are in metres in the field frame, colour components in [0, 1]. A
// float travels as the first six characters of its "%6f" text; a colour component as one
// byte, the component times 255 truncated. Sends are fire and forget: nothing is retried
// and a missing visualiser is not an error.
#pragma once

#include <netdb.h>

#include <string>

class Drawing {
 public:
  // Sends to the visualiser on the local host, port 32769.
  Drawing();
  // As above, but opens the socket only when can_connect is true.
  explicit Drawing(bool can_connect);
  // Sends to another host and port (a service name or number).
  Drawing(const std::string& host, const std::string& port);
  virtual ~Drawing();
  Drawing(const Drawing&) = delete;
  Drawing& operator=(const Drawing&) = delete;

  // The agent's standard picture from the shared models: its own position (AgentState)
  // and the ball (the field state), see drawAgentPicture.
  virtual void draw();
  // Shows what was drawn into the set named setName since its last swap; null sends the
  // swap without a name.
  virtual void swapBuffers(const std::string* setName);
  virtual void drawLine(float x1, float y1, float z1, float x2, float y2, float z2, float thickness,
                        float r, float g, float b, const std::string* setName);
  virtual void drawCircle(float x, float y, float radius, float thickness, float r, float g,
                          float b, const std::string* setName);
  virtual void drawSphere(float x, float y, float z, float radius, float r, float g, float b,
                          const std::string* setName);
  virtual void drawPoint(float x, float y, float z, float size, float r, float g, float b,
                         const std::string* setName);
  // v holds numVerts (x, y, z) triples; 0 to 255 vertices, otherwise nothing is sent.
  virtual void drawPolygon(const float* v, int numVerts, float r, float g, float b, float a,
                           const std::string* setName);
  virtual void drawAnnotation(const std::string* text, float x, float y, float z, float r, float g,
                              float b, const std::string* setName);

  // The standard picture from given values: the agent's position and the ball it believes
  // in (m, field frame), each as a circle in a set named after the uniform number, then a
  // swap of the "Agent" set.
  void drawAgentPicture(int uniform_number, float agent_x, float agent_y, float ball_x,
                        float ball_y);

 private:
  void Connect();
  void Send(const std::string& packet);

  int sockfd;          // -1 while no socket is open
  struct addrinfo* p;  // the resolved address in use, within servinfo
  struct addrinfo hints;
  struct addrinfo* servinfo;  // resolution result, freed by the destructor
  const std::string ROBOVIS_HOST;
  const std::string ROBOVIS_PORT;
};
