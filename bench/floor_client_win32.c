/* The floor for one call on Windows: the least a client can do for the same exchange. It connects
   to 127.0.0.1 at ZELTO_PORT, sends one request line, reads to the end and prints what it read. */

#include <winsock2.h> /* before windows.h, which would bring the old Winsock */

#include <stdlib.h>
#include <windows.h>

int main(void) {
  static const char request[] =
      "{\"from\":\"n\",\"message\":\"mensagem\",\"target\":\"alvo\",\"token\":\"t\",\"verb\":\"send\"}\n";
  static char answer[1 << 16];
  const char* port = getenv("ZELTO_PORT");
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 1;
  struct sockaddr_in address = {0};
  address.sin_family = AF_INET;
  address.sin_port = htons((unsigned short)atoi(port ? port : "0"));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET || connect(s, (struct sockaddr*)&address, sizeof address) != 0) return 1;
  if (send(s, request, sizeof request - 1, 0) != (int)(sizeof request - 1)) return 1;
  int size = 0, got;
  while (size < (int)sizeof answer && (got = recv(s, answer + size, (int)sizeof answer - size, 0)) > 0) size += got;
  closesocket(s);
  DWORD written = 0;
  return WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), answer, (DWORD)size, &written, NULL) ? 0 : 1;
}
