#pragma once
// The server library's types as the service's headers name them; its own header is large, and
// only the files that use its members include it.
namespace httplib
{
class Server;
struct Request;
struct Response;
class ContentReader;
} // namespace httplib
