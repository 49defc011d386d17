select distinct ticket from xact where poschitdate between 
