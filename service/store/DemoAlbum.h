#pragma once
// A demo album to look at after logging in with the demo account.
namespace service
{

class Store;

// Fills the account's album with nested folders and generated pictures of several formats and
// sizes; does nothing when the album already holds anything. Returns the pictures added.
int seedDemoAlbum(Store &store, int accountId);

} // namespace service
