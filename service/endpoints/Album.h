#pragma once
// The album as the program reads it: wi_folder.php (the folder tree, a folder's pictures) and
// wi_image.php / order_image.php (a picture's thumbnail or the picture itself).
#include "service/router/HttpTypes.h"

#include <string>

namespace service
{

class Store;

void serveFolder(Store &store, const httplib::Request &req, httplib::Response &res,
                 const std::string &sid);
// orderOnly: order_image.php, which serves only pictures of the session's order.
void serveImage(Store &store, const httplib::Request &req, httplib::Response &res,
                const std::string &sid, bool orderOnly);

} // namespace service
