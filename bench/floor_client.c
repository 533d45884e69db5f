/* The floor for one call: the least a client can do for the same exchange. It connects to
   127.0.0.1 at ZELTO_PORT, sends one request line, reads to the end and prints what it read. */

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

int main(void) {
  static const char request[] =
      "{\"from\":\"n\",\"message\":\"mensagem\",\"target\":\"alvo\",\"token\":\"t\",\"verb\":\"send\"}\n";
  static char answer[1 << 16];
  const char* port = getenv("ZELTO_PORT");
  struct sockaddr_in address = {0};
  address.sin_family = AF_INET;
  address.sin_port = htons((unsigned short)atoi(port ? port : "0"));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0 || connect(fd, (struct sockaddr*)&address, sizeof address) != 0) return 1;
  if (send(fd, request, sizeof request - 1, 0) != (ssize_t)(sizeof request - 1)) return 1;
  size_t size = 0;
  ssize_t got;
  while (size < sizeof answer && (got = recv(fd, answer + size, sizeof answer - size, 0)) > 0) size += (size_t)got;
  close(fd);
  return write(1, answer, size) == (ssize_t)size ? 0 : 1;
}
